#pragma once

// Broken internal conditions: print "SOURCE:LINE: failed assertion `COND'" to standard error and
// abort. The source is the short path of the file ("Utils/pVector"), passed by the caller.
// P_ASSERT_TEXT takes the condition's text explicitly, so the message stays exact whatever the
// formatter does to the expression.
[[noreturn]] void pAssertFailed(const char* source, int line, const char* condition);

#define P_ASSERT_TEXT(source, cond, text)                                                          \
    ((cond) ? static_cast<void>(0) : pAssertFailed((source), __LINE__, (text)))
#define P_ASSERT(source, cond) P_ASSERT_TEXT(source, cond, #cond)
