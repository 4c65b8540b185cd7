#pragma once

// The bottom of the forms runtime, with canvas_overlay.h: Form calls what a window needs of the
// runtime through this interface, and Runtime implements it, so Form never includes or calls
// Runtime and the calls run one way (Runtime -> Form -> FormHost).

#include <functional>

namespace forms {

class Form;

// What a window asks of whoever loaded it.
class FormHost {
public:
    // Shows the window; a modal show returns once it is unloaded or hidden.
    virtual void show(Form* form, bool modal) = 0;
    // The user pressed the window's close box.
    virtual void closeBox(Form* form) = 0;
    // Runs a handler of screen code (a button's or a menu item's).
    virtual void invoke(const std::function<void()>& handler) = 0;
    // A drawing call was handed a coordinate that is not a finite number.
    virtual void countNonFinite() = 0;

protected:
    FormHost() = default;
    FormHost(const FormHost&) = default;
    FormHost& operator=(const FormHost&) = default;
    ~FormHost() = default;
};

} // namespace forms
