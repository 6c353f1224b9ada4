#pragma once

#include <QString>

namespace velmora {

// Answers of the error window (message-box result codes); 0 means closed without an answer.
inline constexpr int NoAnswer = 0;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;

// Shows an error report and returns the user's answer. The window layer installs the error
// window; tests install scripted answers.
class ErrorPresenter {
public:
    virtual ~ErrorPresenter() = default;
    virtual int showReport(const QString &report) = 0;

    // Installs a presenter (nullptr for none) and returns the one it replaces.
    static ErrorPresenter *install(ErrorPresenter *presenter) noexcept;
    static ErrorPresenter *installed() noexcept;
};

} // namespace velmora
