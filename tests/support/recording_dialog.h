// Test support: a dialog that records the notifications of its widgets.
#pragma once

// A dialog that records every notification its widgets send it, so that a
// test can check what was reported, by whom and with which arguments.

#include <algorithm>
#include <ostream>
#include <vector>

#include "gui/Dialog.h"
#include "gui/Widget.h"

namespace testkit {

struct Event {
    Widget* widget;
    int message, a1, a2;
    bool operator==(const Event&) const = default;
};

inline std::ostream& operator<<(std::ostream& o, const Event& e)
{
    return o << "{widget " << e.widget << ", message " << e.message << ", " << e.a1 << ", " << e.a2 << '}';
}

class RecordingDialog : public Dialog {
public:
    // PassOn hands every notification on to the dialog's own handling after
    // recording it; RecordOnly keeps the dialog out of it.
    enum Mode { PassOn, RecordOnly };
    explicit RecordingDialog(Mode mode = PassOn) : mode_(mode) {}

    void handleEvent(Widget* widget, int message, int a1, int a2) override
    {
        events.push_back({widget, message, a1, a2});
        if (mode_ == PassOn)
            Dialog::handleEvent(widget, message, a1, a2);
    }

    // The first arguments of the notifications `message` from `from`, in order.
    std::vector<int> args(const Widget* from, int message) const
    {
        std::vector<int> out;
        for (const Event& e : events)
            if (e.message == message && e.widget == from)
                out.push_back(e.a1);
        return out;
    }

    // How many notifications `message` came, from any widget.
    int count(int message) const
    {
        return static_cast<int>(std::ranges::count(events, message, &Event::message));
    }

    std::vector<Event> events;

private:
    Mode mode_;
};

}  // namespace testkit
