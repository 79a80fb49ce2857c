#pragma once

#include "support/MsgBoxRecorder.h"
#include "ui/U_Main.h"

#include <QTest>

#include <memory>

// A shown, active window as a host would have it, with message boxes recorded, not shown.
struct WindowFixture
{
    WindowFixture()
        : window(std::make_unique<Tfrm_Jointrix>())
    {
        window->move(0, 0);
        window->show();
        window->activateWindow();
        active = QTest::qWaitForWindowActive(window.get());
    }

    msgbox::Recorder messages;
    std::unique_ptr<Tfrm_Jointrix> window;
    bool active = false;
};
