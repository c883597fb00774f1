#include "replay/SharedText.h"

#include <ostream>

namespace replidex {

std::ostream& operator<<(std::ostream& out, const SharedText& text)
{
    return out << text.view();
}

}  // namespace replidex
