// Included before every source of the shipped program (not of the tests).
// libstdc++ declares its std::string instantiations extern, so that every string
// member comes from one pre-built object; linked statically, that object brings
// the whole string class and, through its exceptions, the C++ exception runtime
// along. Letting the compiler instantiate what the program uses keeps only that.
#include <bits/c++config.h>
#undef _GLIBCXX_EXTERN_TEMPLATE
#define _GLIBCXX_EXTERN_TEMPLATE -1
