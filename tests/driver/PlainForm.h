#pragma once
// A form that is nothing but its design: the host window of controls under test or measurement.
// Header-only, so benchmark programs use it without the test driver.

#include <utility>

#include "runtime/Form.h"

namespace driver {

class PlainForm : public rt::Form {
public:
    explicit PlainForm(rt::FormDesign design) : rt::Form(std::move(design)) {}
};

// A borderless design of this client size (twips), centred on the screen.
inline rt::FormDesign HostDesign(const wchar_t* className, double clientWidth, double clientHeight)
{
    rt::FormDesign d;
    d.className = className;
    d.clientWidth = clientWidth;
    d.clientHeight = clientHeight;
    return d;
}

}  // namespace driver
