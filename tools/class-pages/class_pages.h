// The class pages: every script class, global function and global value a
// program's libraries register, with the lines their registration code
// keeps next to them (the class kit's member tables, DescribeGlobals).
#pragma once

#include <string>
#include <vector>

#include "runtime/registration.h"

namespace kelpo {

// One step of the fixed order with the library group it belongs to.
struct GroupedStep {
    const char* group;
    const char* names;
    RegisterFn registerFn;
};

struct ClassPages {
    std::string markdown;
    // "Class.member" or "global" for everything registered without a line.
    std::vector<std::string> undescribed;
};

// Registers the steps one by one into a fresh context and describes what
// each step added, in registration order.
ClassPages MakeClassPages(const GroupedStep* steps, int count);

}  // namespace kelpo
