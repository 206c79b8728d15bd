// The record channels of an alarm's linkage: ChnArray holds one '1' or '0'
// per channel 1 to 16 ('1' = record on it), ChnNum how many are meaningful.
#pragma once

#include <array>
#include <cstdint>

constexpr int kLinkChannels = 16;

// The boxes 1 to 16 as the record shows them: box i checked when i < ChnNum
// and character i is '1'; the others cleared.
std::array<bool, kLinkChannels> LinkChannelsShown(uint8_t chnNum, const char (&chnArray)[17]);
// Stores all sixteen boxes: sixteen '0'/'1' characters and a zero, ChnNum 16.
void StoreLinkChannels(const std::array<bool, kLinkChannels>& boxes, uint8_t& chnNum, char (&chnArray)[17]);
