#pragma once
// Web addresses the program reaches. The host is this build's own configuration.

namespace marvolt {

constexpr char16_t kHomepageAddress[] = u"https://www.marvolt.example/";

}  // namespace marvolt
