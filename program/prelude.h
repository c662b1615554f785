// Included before every source of the shipped program (not of the tests).
// libstdc++ declares its std::string instantiations extern, so that every string
// member comes from one pre-built object; linked statically, that object brings
// the whole string class and, through its exceptions, the C++ exception runtime
// along. Letting the compiler instantiate what the program uses keeps only that.
#include <bits/c++config.h>
#undef _GLIBCXX_EXTERN_TEMPLATE
#define _GLIBCXX_EXTERN_TEMPLATE -1
// The messages of the C++ library's range and length checks are for exceptions
// the program never throws (a failed check ends it, see runtime.cpp): one empty
// text instead of a copy of each message in every source that checks.
extern "C" const char marvolt_no_message[];
#undef __N
#define __N(msgid) (marvolt_no_message)
