#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "plover/records/ProfileRecordsJson.h"

using namespace Veltrix::Marlin::Native;

namespace {

// Replaces every scalar of a record's JSON form with a distinct small value
// (1..120 fits every field width, signed or not) and every boolean with true.
void FillLeaves(json& j, int& counter)
{
    if (j.is_object() || j.is_array()) {
        for (auto& element : j) {
            FillLeaves(element, counter);
        }
    } else if (j.is_boolean()) {
        j = true;
    } else {
        j = 1 + (counter++ % 120);
    }
}

json FilledTree(int& leaves)
{
    json j = marlin_Init_t{};
    leaves = 0;
    FillLeaves(j, leaves);
    return j;
}

std::string Render(const marlin_Init_t& init)
{
    return json(init).dump(2);
}

}  // namespace

TEST(ProfileRecordsJson, EveryFieldIsWrittenReadAndRewrittenIdentically)
{
    int leaves = 0;
    const json filled = FilledTree(leaves);
    EXPECT_GT(leaves, 2500);  // the eight receive and two transmit entries and all banks are written in full

    const auto init = filled.get<marlin_Init_t>();
    EXPECT_EQ(json(init), filled) << "a field is missing from the reader or the writer";
    EXPECT_NE(init, marlin_Init_t{});

    const std::string text = Render(init);
    const auto reread = json::parse(text).get<marlin_Init_t>();
    EXPECT_EQ(reread, init);
    EXPECT_EQ(Render(reread), text);
    EXPECT_EQ(text.back(), '}');
}

