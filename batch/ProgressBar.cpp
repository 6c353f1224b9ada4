#include "batch/ProgressBar.h"

#include <QTextStream>

#include <algorithm>
#include <utility>

namespace velmora {
namespace {
constexpr int barWidth = 30;
} // namespace

ProgressBar::ProgressBar(QTextStream &stream, QString unit)
    : m_stream(stream), m_unit(std::move(unit)) {}

QString ProgressBar::render(int done, int total, const QString &unit) {
    const int clamped = std::clamp(done, 0, std::max(total, 0));
    const int percent = total > 0 ? int(qint64(clamped) * 100 / total) : 100;
    const int filled = total > 0 ? int(qint64(clamped) * barWidth / total) : barWidth;
    return QStringLiteral("[%1%2] %3% %4/%5 %6")
        .arg(QString(filled, u'#'), QString(barWidth - filled, u'-'))
        .arg(percent, 3)
        .arg(clamped)
        .arg(total)
        .arg(unit);
}

void ProgressBar::update(int done, int total) {
    const int percent = total > 0 ? int(qint64(std::clamp(done, 0, total)) * 100 / total) : 100;
    if (percent == m_shownPercent) {
        return;
    }
    m_shownPercent = percent;
    m_stream << '\r' << render(done, total, m_unit);
    m_stream.flush();
    m_drawn = true;
}

void ProgressBar::finish() {
    if (m_drawn) {
        m_stream << '\n';
        m_stream.flush();
        m_drawn = false;
    }
    m_shownPercent = -1;
}

} // namespace velmora
