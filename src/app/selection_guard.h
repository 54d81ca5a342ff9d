// Sets ignoreSelectionChange for the life of a scope, so a command that
// moves the tree's selection itself is not dispatched as the user's click.
#pragma once

namespace brovane {

class SelectionChangeGuard {
  public:
    explicit SelectionChangeGuard(bool& ignoreSelectionChange)
        : flag_(ignoreSelectionChange), previous_(ignoreSelectionChange) {
        flag_ = true;
    }
    ~SelectionChangeGuard() { flag_ = previous_; }
    SelectionChangeGuard(const SelectionChangeGuard&) = delete;
    SelectionChangeGuard& operator=(const SelectionChangeGuard&) = delete;

  private:
    bool& flag_;
    bool previous_;
};

}  // namespace brovane
