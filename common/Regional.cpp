#include "common/Regional.h"

namespace {
RegionalSettings& current()
{
    static RegionalSettings settings;
    return settings;
}
}  // namespace

const RegionalSettings& regional() { return current(); }

void setRegional(const RegionalSettings& settings) { current() = settings; }
