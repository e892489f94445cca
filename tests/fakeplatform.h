// The recording half of the fake platform: sound requests, cursor writes and
// unloads, kept for the test to read. Free of any test framework, so that the
// fuzz targets use it too.
#pragma once

#include "platform/services.h"

#include <algorithm>
#include <functional>
#include <vector>

namespace pellorin::testing {

class FakeSound final : public SoundPlayer {
public:
    std::int32_t play(Cue cue) override
    {
        requests.push_back(cue);
        if (onRequest)
            onRequest(cue);
        return result;
    }
    int count(Cue cue) const { return static_cast<int>(std::count(requests.begin(), requests.end(), cue)); }

    std::vector<Cue> requests;
    std::function<void(Cue)> onRequest;
    std::int32_t result = 1;
};

class FakeCursor final : public WindowCursor {
public:
    CursorCode get() const override { return code; }
    void set(CursorCode c) override
    {
        code = c;
        writes.push_back(c);
    }
    CursorCode code = CursorCode::Default;
    std::vector<CursorCode> writes;
};

class FakeHost final : public WindowHost {
public:
    void closeWindow() override { ++unloads; }
    int unloads = 0;
};

} // namespace pellorin::testing
