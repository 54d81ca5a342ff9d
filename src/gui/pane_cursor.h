// Where the cursor is for the panes' hit tests and pop-up menus. While a
// mouse notification runs it is the position of the mouse event that raised
// it, which is what the user pointed at (and a synthetic click in a test
// moves no pointer); otherwise it is the pointer's current position.
#pragma once

#include <QCursor>
#include <QPoint>
#include <optional>
#include <utility>

namespace brovane {

class PaneCursor {
  public:
    QPoint GlobalPosition() const { return held_ ? *held_ : QCursor::pos(); }

    // Runs notify with the cursor held at global; notifications may nest.
    template <class Notify>
    void During(QPoint global, Notify&& notify) {
        std::optional<QPoint> outer = std::exchange(held_, global);
        std::forward<Notify>(notify)();
        held_ = outer;
    }

  private:
    std::optional<QPoint> held_;
};

}  // namespace brovane
