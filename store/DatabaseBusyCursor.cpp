#include "store/DatabaseBusyCursor.h"

namespace {
int depth = 0;
DatabaseBusyCursor::Hook currentHook = nullptr;
} // namespace

void DatabaseBusyCursor::setHook(Hook hook) {
    currentHook = hook;
}

DatabaseBusyCursor::DatabaseBusyCursor() {
    if (depth++ == 0 && currentHook) {
        told_ = currentHook;
        told_(true);
    }
}

DatabaseBusyCursor::~DatabaseBusyCursor() {
    --depth;
    if (told_)
        told_(false);
}
