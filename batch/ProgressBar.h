#pragma once

#include <QString>

class QTextStream;

namespace velmora {

// A one-line progress bar for a terminal: redrawn in place, and only when the percentage it
// shows changes, so a run of thousands of cards writes about a hundred times.
class ProgressBar {
public:
    explicit ProgressBar(QTextStream &stream, QString unit = QStringLiteral("cartelle"));

    void update(int done, int total);
    // Ends the bar's line, if anything was drawn.
    void finish();

    // The text of the bar for done of total: "[#####-----]  50% 3/6 cartelle".
    static QString render(int done, int total, const QString &unit);

private:
    QTextStream &m_stream;
    QString m_unit;
    int m_shownPercent = -1;
    bool m_drawn = false;
};

} // namespace velmora
