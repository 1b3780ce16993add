#pragma once

// A board that reads CATSDOGE along its top row and C R A Q Z P U E down its
// first column, in reading order. Plain C++, so the rules' tests, which have
// no Qt, share it with the game's.
constexpr const char *SampleBoardText = "catsdoge"
                                        "rbnmlkji"
                                        "aeioutsr"
                                        "qwertyui"
                                        "zxcvbnml"
                                        "plmokijn"
                                        "uhbygvtf"
                                        "edcxswaq";
