// Handle tables: every handle the subset gives out is a checked index, so a
// stale or made-up handle is recognised and refused instead of followed.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

namespace zdp {

// Which table a handle belongs to; part of the handle value, so a device
// context passed where a window is expected is refused too.
enum class HandleKind : uint32_t {
    Window = 1,
    DeviceContext = 2,
    GLContext = 3,
    Palette = 4,
    Stock = 5,
};

// kind (4 bits) | generation (11 bits) | slot (16 bits): the value stays below
// 2^31, so it survives being stored in a LONG, as Windows handles do.
constexpr uint32_t handleSlotBits = 16;
constexpr uint32_t handleGenerationBits = 11;
constexpr uint32_t handleGenerationMask = (1u << handleGenerationBits) - 1;
constexpr uint32_t handleSlotMask = (1u << handleSlotBits) - 1;

inline uintptr_t makeHandleValue(HandleKind kind, uint32_t generation, uint32_t slot) {
    return (uintptr_t(kind) << (handleSlotBits + handleGenerationBits)) |
           (uintptr_t(generation) << handleSlotBits) | slot;
}

inline HandleKind handleKindOf(uintptr_t value) {
    return HandleKind(value >> (handleSlotBits + handleGenerationBits));
}

template <typename H> uintptr_t handleValue(H handle) {
    return reinterpret_cast<uintptr_t>(handle);
}

template <typename H> H handleFrom(uintptr_t value) {
    return reinterpret_cast<H>(value);
}

template <typename T> class HandleTable {
  public:
    explicit HandleTable(HandleKind kind) : kind_(kind) {}

    uintptr_t add(std::unique_ptr<T> item) {
        uint32_t slot;
        if (!freeSlots_.empty()) {
            slot = freeSlots_.front();
            freeSlots_.pop_front();
        } else {
            if (slots_.size() > handleSlotMask) return 0;
            slot = uint32_t(slots_.size());
            slots_.emplace_back();
        }
        slots_[slot].item = std::move(item);
        ++live_;
        return makeHandleValue(kind_, slots_[slot].generation, slot);
    }

    T* find(uintptr_t value) const {
        const Slot* slot = slotOf(value);
        return slot ? slot->item.get() : nullptr;
    }

    // Retires the handle: its slot is reused later under a new generation.
    std::unique_ptr<T> remove(uintptr_t value) {
        Slot* slot = const_cast<Slot*>(slotOf(value));
        if (!slot) return nullptr;
        std::unique_ptr<T> item = std::move(slot->item);
        slot->generation = (slot->generation % handleGenerationMask) + 1;
        freeSlots_.push_back(uint32_t(value & handleSlotMask));
        --live_;
        return item;
    }

    // The live handles in slot order; a copy, so callers may remove while walking it.
    std::vector<uintptr_t> handles() const {
        std::vector<uintptr_t> result;
        for (uint32_t i = 0; i < slots_.size(); ++i)
            if (slots_[i].item) result.push_back(makeHandleValue(kind_, slots_[i].generation, i));
        return result;
    }

    int size() const { return live_; }

  private:
    struct Slot {
        std::unique_ptr<T> item;
        uint32_t generation = 1;
    };

    const Slot* slotOf(uintptr_t value) const {
        if (value == 0 || handleKindOf(value) != kind_) return nullptr;
        uint32_t slot = uint32_t(value & handleSlotMask);
        uint32_t generation = uint32_t(value >> handleSlotBits) & handleGenerationMask;
        if (slot >= slots_.size() || !slots_[slot].item) return nullptr;
        if (slots_[slot].generation != generation) return nullptr;
        return &slots_[slot];
    }

    HandleKind kind_;
    std::vector<Slot> slots_;
    std::deque<uint32_t> freeSlots_;
    int live_ = 0;
};

// One lock for every table of the subset, never held while a window procedure
// runs. Recursive, because the subset's functions call one another.
// The tables are made on first use and never destroyed, so a host's own
// static objects may still call Win32 while the process exits.
std::recursive_mutex& stateMutex();
using StateLock = std::lock_guard<std::recursive_mutex>;

} // namespace zdp
