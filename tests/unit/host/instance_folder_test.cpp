// Composing the instance folder's path.
#include <gtest/gtest.h>

#include "host/instance_folder.h"

namespace kelpo::test {
namespace {

TEST(InstanceFolder, TakesTheFirstUsableBase) {
    const std::string guid = "{01234567-89AB-CDEF-0123-456789ABCDEF}";
    const std::string tooLong(260, 'x');
    struct Case {
        std::string tmp, temp, windows, expected;
    };
    const Case cases[] = {
        {"C:\\Tmp", "C:\\Temp", "C:\\Windows", "C:\\Tmp\\" + guid + "\\"},
        {"C:\\Tmp\\", "", "", "C:\\Tmp\\" + guid + "\\"},
        {"C:\\Tmp/", "", "", "C:\\Tmp\\" + guid + "\\"},
        {"", "D:\\Temp", "C:\\Windows", "D:\\Temp\\" + guid + "\\"},
        {tooLong, "D:\\Temp", "C:\\Windows", "D:\\Temp\\" + guid + "\\"},
        {"", tooLong, "C:\\Windows", "C:\\Windows\\" + guid + "\\"},
        {std::string(259, 'y'), "", "", std::string(259, 'y') + "\\" + guid + "\\"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, ComposeInstanceFolder(c.tmp, c.temp, c.windows, guid))
            << c.tmp << "|" << c.temp;
}

}  // namespace
}  // namespace kelpo::test
