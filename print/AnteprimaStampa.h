#pragma once

#include <QDialog>
#include <memory>

class QLabel;
class QToolButton;
class QSpinBox;

namespace velmora {

class PreviewPages;
class PreviewView;

// The preview window: the pages of the run as they will print, with page navigation, zoom,
// whole-page and two-page views. "Stampa…" closes it with the answer Stampa, and the caller
// starts the print command as page 4 does.
class AnteprimaStampa : public QDialog {
    Q_OBJECT
public:
    enum Answer { Chiudi = QDialog::Rejected, Stampa = QDialog::Accepted };

    explicit AnteprimaStampa(std::unique_ptr<PreviewPages> pages, QWidget *parent = nullptr);
    ~AnteprimaStampa() override;

    PreviewView *view() const { return m_view; }

private:
    QToolButton *addButton(const char *name, const QString &caption, const QString &accessible);
    void showPage(int page);

    std::unique_ptr<PreviewPages> m_pages;
    PreviewView *m_view = nullptr;
    QSpinBox *m_pageBox = nullptr;
    QLabel *m_ofPages = nullptr;
    QWidget *m_bar = nullptr;
};

} // namespace velmora
