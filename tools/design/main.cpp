// Prints the design's values as JSON, for tests and scripts that must read
// them from the core rather than type them again.
#include "window/designjson.h"

#include <cstdio>

int main()
{
    const std::string json = pellorin::design::json();
    std::fwrite(json.data(), 1, json.size(), stdout);
    std::fputc('\n', stdout);
    return 0;
}
