#pragma once

#include <gtest/gtest.h>

#include <string>

// Names a parameterised test after its row's `name`.
template <typename Row>
std::string RowName(const testing::TestParamInfo<Row>& info)
{
    return info.param.name;
}
