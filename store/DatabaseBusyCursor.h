#pragma once

// Marks database work while it runs. Nested guards count as one: the hook
// hears true when the outermost guard begins and false when it ends. The
// user interface sets the hook to show the busy pointer; without one the
// guard does nothing.
class DatabaseBusyCursor {
public:
    using Hook = void (*)(bool busy);
    static void setHook(Hook hook);

    DatabaseBusyCursor();
    ~DatabaseBusyCursor();
    DatabaseBusyCursor(const DatabaseBusyCursor&) = delete;
    DatabaseBusyCursor& operator=(const DatabaseBusyCursor&) = delete;

private:
    Hook told_ = nullptr; // the hook that heard the start, so the same one hears the end
};
