#pragma once
#include "quillet/CalendarLink.h"
#include "quillet/Collection.h"
#include "quillet/Freebusy.h"
#include "quillet/Todo.h"

namespace quillet {

// The to-dos of one calendar.
class TodoCollection : public Collection<Todo> {
public:
    void Add(TodoPtr vTodo) {
        if (vTodo) vTodo->SetQuillet(link_);
        Collection<Todo>::Add(std::move(vTodo));
    }
    void RemoveTodo(const TodoPtr& vTodo) { RemoveObject(vTodo.get()); }
    std::shared_ptr<iCalendar> Quillet() const { return ResolveLink(link_); }
    void SetQuillet(const CalendarLink& link) { link_ = link; }

private:
    CalendarLink link_;
};

// The free/busy components of one calendar; the calendar never links it, so Add links nothing.
class FreeBusyCollection : public Collection<Freebusy> {
public:
    void Add(FreebusyPtr vFreeBusy) {
        if (vFreeBusy) vFreeBusy->SetQuillet(link_);
        Collection<Freebusy>::Add(std::move(vFreeBusy));
    }
    std::shared_ptr<iCalendar> Quillet() const { return ResolveLink(link_); }

private:
    CalendarLink link_;
};

}  // namespace quillet
