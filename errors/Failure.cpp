#include "errors/Failure.h"

#include "errors/VelmoraError.h"

#include <new>

namespace velmora {

Failure Failure::fromException(const std::exception_ptr &exception, int line) noexcept {
    Failure failure;
    failure.line = line;
    failure.number = VelmoraError::Unexpected;
    try {
        if (exception) {
            std::rethrow_exception(exception);
        }
        failure.description = VelmoraError::describe(VelmoraError::Unexpected);
    } catch (const VelmoraError &error) {
        failure.number = error.number();
        failure.description = error.description();
    } catch (const std::bad_alloc &) {
        failure.number = VelmoraError::OutOfMemory;
        failure.description = VelmoraError::describe(VelmoraError::OutOfMemory);
    } catch (const std::exception &error) {
        failure.description = VelmoraError::describe(VelmoraError::Unexpected);
        const QString detail = QString::fromUtf8(error.what()).trimmed();
        if (!detail.isEmpty()) {
            failure.description += QStringLiteral(": ") + detail;
        }
    } catch (...) {
        failure.description = VelmoraError::describe(VelmoraError::Unexpected);
    }
    return failure;
}

} // namespace velmora
