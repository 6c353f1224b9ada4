#include "ui/OptionGroups.h"

#include "ui/qbButtons_H.h"

namespace velmora {

void OptionGroups::join(QWidget *container, qbButtons_H *button) {
    auto &members = m_groups[container];
    if (!members.contains(button)) {
        members.append(button);
    }
}

void OptionGroups::leave(QWidget *container, qbButtons_H *button) {
    const auto found = m_groups.find(container);
    if (found == m_groups.end()) {
        return;
    }
    found->removeAll(button);
    if (found->isEmpty()) {
        m_groups.erase(found);
    }
}

QList<qbButtons_H *> OptionGroups::members(QWidget *container) const {
    QList<qbButtons_H *> result;
    for (const QPointer<qbButtons_H> &member : m_groups.value(container)) {
        if (member) {
            result.append(member.data());
        }
    }
    return result;
}

OptionGroups &OptionGroups::shared() {
    static OptionGroups groups;
    return groups;
}

} // namespace velmora
