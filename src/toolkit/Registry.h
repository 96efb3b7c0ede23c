// Registry: one open key at a time under a root key, like a settings file.
// Reads of a missing value or of the wrong type throw RegistryError.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

class RegistryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Registry {
public:
    Registry();
    virtual ~Registry();
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    HKEY RootKey = HKEY_CURRENT_USER;
    REGSAM Access = KEY_ALL_ACCESS;

    bool OpenKey(const std::string& Key, bool CanCreate);
    bool OpenKeyReadOnly(const std::string& Key);
    void CloseKey();
    HKEY CurrentKey() const { return FKey; }
    // The system's code of the last open or write that failed.
    LONG LastError() const { return FLastError; }
    bool KeyExists(const std::string& Key);
    bool DeleteKey(const std::string& Key);

    bool ValueExists(const std::string& Name) const;
    // Type and size of a value; false when it does not exist.
    bool GetDataInfo(const std::string& Name, DWORD& Type, DWORD& Size) const;
    bool DeleteValue(const std::string& Name);
    std::vector<std::string> GetValueNames() const;

    std::string ReadString(const std::string& Name) const;
    int ReadInteger(const std::string& Name) const;
    // Raw bytes of a value of any type.
    std::string ReadBinaryData(const std::string& Name) const;
    void WriteString(const std::string& Name, const std::string& Value);
    void WriteInteger(const std::string& Name, int Value);
    void WriteBinaryData(const std::string& Name, const std::string& Data);

private:
    std::string ReadRaw(const std::string& Name, DWORD& Type) const;
    void WriteRaw(const std::string& Name, DWORD Type, const void* Data, DWORD Size);

    HKEY FKey = nullptr;
    LONG FLastError = ERROR_SUCCESS;
};
