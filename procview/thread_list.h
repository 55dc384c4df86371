// The rows of the thread list: one per thread of the chosen process, with its priority and times.
#pragma once

#include "platform/types.h"

// Priority names by the low three bits of a thread's base priority; each fits 15 characters.
inline constexpr char16_t ThreadPriorityNames[8][16] = {
    u"критический", u"высокий", u"выше нормы",  u"нормальный",
    u"ниже нормы",  u"низкий",  u"почти покой", u"бездействие",
};

// Replaces the rows with one per thread of AppState.ThreadListProcessId, numbered from 1 in
// snapshot order, drawing the list once when they are all in.
// A thread whose times cannot be read (it ended after the snapshot) keeps its time cells empty.
void FillThreadList(plat::Window list);
