// A table of open objects addressed by small integer handles: a handle is
// its slot's position plus one, so it is never 0 and never negative. Slots
// freed by Take are reused.
#pragma once

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

namespace brovane {

template <typename T, typename Handle>
class HandleTable {
  public:
    Handle Add(T value) {
        std::size_t slot = 0;
        while (slot < slots_.size() && slots_[slot].has_value()) {
            ++slot;
        }
        if (slot == slots_.size()) {
            slots_.emplace_back();
        }
        slots_[slot] = std::move(value);
        return static_cast<Handle>(slot + 1);
    }

    // The object of an open handle, or nullptr.
    T* Find(Handle handle) {
        // 0 and negative handles wrap to slots past the end.
        const std::size_t slot = static_cast<std::size_t>(handle) - 1;
        if (slot >= slots_.size() || !slots_[slot].has_value()) {
            return nullptr;
        }
        return &*slots_[slot];
    }

    // Removes the handle's object and hands it back; nothing for a handle not open.
    std::optional<T> Take(Handle handle) {
        T* found = Find(handle);
        if (found == nullptr) {
            return std::nullopt;
        }
        std::optional<T> taken(std::move(*found));
        slots_[static_cast<std::size_t>(handle) - 1].reset();
        return taken;
    }

    // Removes every object, handing each to release first.
    template <typename Release>
    void Clear(Release release) {
        for (auto& slot : slots_) {
            if (slot.has_value()) {
                release(*slot);
            }
        }
        slots_.clear();
    }

  private:
    std::vector<std::optional<T>> slots_;
};

}  // namespace brovane
