#include "platform/font_warmup.h"

#ifdef TECLADIM_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace tecladim::platform {

FontWarmUp::FontWarmUp() {
#ifdef TECLADIM_HAVE_FONTCONFIG
  // FcInit is safe on any thread; a second call, from the toolkit, finds it done.
  thread_ = std::thread([] { FcInit(); });
#endif
}

FontWarmUp::~FontWarmUp() { Wait(); }

void FontWarmUp::Wait() {
  if (thread_.joinable()) thread_.join();
}

}  // namespace tecladim::platform
