#pragma once

#include <QHash>
#include <QList>
#include <QPointer>

class QWidget;

namespace velmora {

class qbButtons_H;

// The option groups of the buttons: the option-mode buttons of each container, in the order
// they joined; pressing one releases the others of its group. A container's entry goes with
// its last button. The buttons of the program share one registry, shared().
class OptionGroups {
public:
    void join(QWidget *container, qbButtons_H *button);
    void leave(QWidget *container, qbButtons_H *button);
    // The buttons of the container's group still alive, in the order they joined.
    QList<qbButtons_H *> members(QWidget *container) const;

    static OptionGroups &shared();

private:
    QHash<QWidget *, QList<QPointer<qbButtons_H>>> m_groups;
};

} // namespace velmora
