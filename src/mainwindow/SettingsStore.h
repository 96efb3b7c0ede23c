// What the main window's stored state needs of the registry: one open key at
// a time, integer, string and binary values. Portable; the Win32 side wraps
// the settings registry, tests use a map.
#pragma once

#include <cstddef>
#include <string>

enum class TValueKind { String, Integer, Binary, Other };

class ISettingsStore {
public:
    virtual ~ISettingsStore() = default;
    // False when the key cannot be opened (or, read-only, does not exist).
    virtual bool OpenKey(const std::string& Key, bool CanCreate) = 0;
    virtual bool OpenKeyReadOnly(const std::string& Key) = 0;
    virtual void CloseKey() = 0;
    // False when the value is missing, of another type or cannot be read.
    virtual bool ReadInteger(const std::string& Name, int& Value) = 0;
    virtual bool GetValueInfo(const std::string& Name, TValueKind& Kind, std::size_t& Size) = 0;
    // Data holds the bytes actually read.
    virtual bool ReadBinary(const std::string& Name, std::string& Data) = 0;
    // False when the write failed.
    virtual bool WriteInteger(const std::string& Name, int Value) = 0;
    virtual bool WriteString(const std::string& Name, const std::string& Value) = 0;
    virtual bool WriteBinary(const std::string& Name, const std::string& Data) = 0;
    virtual bool DeleteValue(const std::string& Name) = 0;
    // The system's words for why the last open or write failed.
    virtual std::string LastFailure() const = 0;
};
