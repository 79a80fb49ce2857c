#pragma once

#include "platform/msgbox/MsgBox.h"

#include <QList>

#include <functional>

namespace msgbox {

// A ScopedHandler that keeps every request instead of showing it. `onShow`, when set, runs
// after a request is kept, still inside show(): a test uses it to look at the state the caller
// is in while its box would be open.
class Recorder
{
public:
    Recorder();
    QList<Request> requests;
    std::function<void(const Request &)> onShow;

    bool isEmpty() const { return requests.isEmpty(); }
    void clear() { requests.clear(); }

private:
    ScopedHandler m_scope;
};

} // namespace msgbox
