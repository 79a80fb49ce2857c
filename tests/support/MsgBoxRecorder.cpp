#include "support/MsgBoxRecorder.h"

namespace msgbox {

Recorder::Recorder()
    : m_scope([this](const Request &request) {
        requests.append(request);
        if (onShow)
            onShow(request);
    })
{ }

} // namespace msgbox
