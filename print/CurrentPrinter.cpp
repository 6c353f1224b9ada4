#include "print/CurrentPrinter.h"

#include "print/PainterSurface.h"
#include "print/PrinterTarget.h"

#include <QCoreApplication>
#include <memory>

namespace velmora {
namespace {

struct Holder {
    PrinterTarget target;
    PainterSurface surface{target};
};

std::unique_ptr<Holder> &holder() {
    static std::unique_ptr<Holder> instance;
    return instance;
}

Holder &current() {
    auto &instance = holder();
    if (!instance) {
        instance = std::make_unique<Holder>();
        // The printer must go while the platform's print support is still there.
        qAddPostRoutine([] { holder().reset(); });
    }
    return *instance;
}

} // namespace

PrinterTarget &CurrentPrinter::target() {
    return current().target;
}

PrinterSurface &CurrentPrinter::surface() {
    return current().surface;
}

} // namespace velmora
