#pragma once

namespace platform {

// Private-profile (INI) files: "[section]" lines, then "key=value" lines; section and key names
// compared without regard to case; blanks around names and values ignored; ';' starts a comment
// line; the first of duplicate sections or keys wins. Each call reads the file afresh; a write
// changes only the one line it concerns and keeps every other byte of the file. Called on the
// user-interface thread.
class IPrivateProfile {
public:
    virtual ~IPrivateProfile() = default;

    // Copies the value of `key` in `section` (or `def` when there is none) into `buffer`, cut to
    // size - 1 characters and terminated; returns the number of characters copied. With `key`
    // null it copies the section's key names instead, each terminated, the list ending in a second
    // terminator, and returns their length without the last terminator (size - 2 when cut).
    virtual unsigned GetString(const char* section, const char* key, const char* def, char* buffer,
                               unsigned size, const char* path) = 0;

    // Sets `key` in `section` to `value`, adding the key (and the section) when missing; a null
    // `value` removes the key, a null `key` removes the section. Creates the file if need be.
    // Returns false, with the file unchanged, when it cannot be written (also when it is read-only).
    virtual bool WriteString(const char* section, const char* key, const char* value, const char* path) = 0;
};

// The profile service the program uses: real files unless a test installed a fake.
IPrivateProfile& PrivateProfile();
void SetPrivateProfile(IPrivateProfile* profile);

} // namespace platform
