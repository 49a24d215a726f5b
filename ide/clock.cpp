#include "clock.h"

#include "replaceable.h"

namespace ide {
namespace {

Replaceable<kz71::Clock, kz71::SteadyClock>& service() {
    static Replaceable<kz71::Clock, kz71::SteadyClock> instance;
    return instance;
}

} // namespace

void setClock(kz71::Clock* c) {
    service().set(c);
}

kz71::Clock& clock() {
    return service().get();
}

} // namespace ide
