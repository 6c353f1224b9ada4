#pragma once

#include <QChar>
#include <QString>

namespace velmora {

// A button caption with its access key: the character after the last single "&" is the key,
// "&&" stands for one ampersand.
class QbCaption {
public:
    explicit QbCaption(const QString &caption = {});

    // The text shown, ampersands resolved.
    const QString &text() const { return m_text; }
    // Position in text() of the access key, -1 when there is none.
    int accessIndex() const { return m_accessIndex; }
    // The access key in upper case, a null QChar when there is none.
    QChar accessKey() const;
    // The same caption written for Qt's mnemonic drawing: only the access key is marked.
    QString mnemonicText() const;

private:
    QString m_text;
    int m_accessIndex = -1;
};

} // namespace velmora
