#pragma once
// Control arrays: numbered sets of controls of one kind.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/system/Text.h"

namespace platform {

// A numbered set of controls of one kind. Element 0 is designed; further
// elements are loaded as copies of it and start hidden.
[[noreturn]] void throwIndexError(int index);
[[noreturn]] void throwAlreadyLoaded(int index);

template <typename T>
class ControlArray {
  public:
    explicit ControlArray(std::unique_ptr<T> element0) { add(std::move(element0)); }
    // A further element that exists at design time, with its own design.
    void addDesigned(std::unique_ptr<T> element) { add(std::move(element)); }
    ControlArray(const ControlArray&) = delete;
    ControlArray& operator=(const ControlArray&) = delete;

    T& operator()(int index) const;
    std::int16_t UBound() const { return static_cast<std::int16_t>(elements_.size() - 1); }
    void Load(int index);

    // The click of any element, with that element's index.
    std::function<void(std::int16_t)> onClick;

  private:
    void add(std::unique_ptr<T> element);
    void wire(int index) {
        elements_[index]->onClick = [this, index] {
            if (onClick) onClick(static_cast<std::int16_t>(index));
        };
    }
    std::vector<std::unique_ptr<T>> elements_;
};

template <typename T>
T& ControlArray<T>::operator()(int index) const {
    if (index < 0 || index >= static_cast<int>(elements_.size()) || !elements_[index])
        throwIndexError(index);
    return *elements_[index];
}

template <typename T>
void ControlArray<T>::Load(int index) {
    if (index < 0 || index > 32767) throwIndexError(index);
    if (index < static_cast<int>(elements_.size()) && elements_[index]) throwAlreadyLoaded(index);
    auto element = T::copyOf(*elements_[0]);
    element->setVisible(False);
    if (index >= static_cast<int>(elements_.size())) elements_.resize(index + 1);
    elements_[index] = std::move(element);
    wire(index);
}

template <typename T>
void ControlArray<T>::add(std::unique_ptr<T> element) {
    elements_.push_back(std::move(element));
    wire(static_cast<int>(elements_.size() - 1));
}

}  // namespace platform
