#pragma once

// Shows the busy pointer while database work runs. Nested guards keep it up
// until the outermost one ends; without a GUI application it does nothing.
class DatabaseBusyCursor {
public:
    DatabaseBusyCursor();
    ~DatabaseBusyCursor();
    DatabaseBusyCursor(const DatabaseBusyCursor&) = delete;
    DatabaseBusyCursor& operator=(const DatabaseBusyCursor&) = delete;

private:
    bool shown_ = false;
};
