#include "toolkit/Registry.h"

#include <cstring>

Registry::Registry() = default;

Registry::~Registry()
{
    CloseKey();
}

bool Registry::OpenKey(const std::string& Key, bool CanCreate)
{
    CloseKey();
    HKEY K = nullptr;
    LONG Rc;
    if (CanCreate)
        Rc = ::RegCreateKeyExA(RootKey, Key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, Access,
                               nullptr, &K, nullptr);
    else
        Rc = ::RegOpenKeyExA(RootKey, Key.c_str(), 0, Access, &K);
    if (Rc != ERROR_SUCCESS) {
        FLastError = Rc;
        return false;
    }
    FKey = K;
    return true;
}

bool Registry::OpenKeyReadOnly(const std::string& Key)
{
    CloseKey();
    HKEY K = nullptr;
    if (::RegOpenKeyExA(RootKey, Key.c_str(), 0, KEY_READ, &K) != ERROR_SUCCESS)
        return false;
    FKey = K;
    return true;
}

void Registry::CloseKey()
{
    if (FKey) {
        ::RegCloseKey(FKey);
        FKey = nullptr;
    }
}

bool Registry::KeyExists(const std::string& Key)
{
    HKEY K = nullptr;
    if (::RegOpenKeyExA(FKey ? FKey : RootKey, Key.c_str(), 0, KEY_READ, &K) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(K);
    return true;
}

bool Registry::DeleteKey(const std::string& Key)
{
    return ::RegDeleteKeyA(FKey ? FKey : RootKey, Key.c_str()) == ERROR_SUCCESS;
}

bool Registry::GetDataInfo(const std::string& Name, DWORD& Type, DWORD& Size) const
{
    Type = REG_NONE;
    Size = 0;
    return FKey && ::RegQueryValueExA(FKey, Name.c_str(), nullptr, &Type, nullptr, &Size) ==
                       ERROR_SUCCESS;
}

bool Registry::ValueExists(const std::string& Name) const
{
    DWORD Type, Size;
    return GetDataInfo(Name, Type, Size);
}

bool Registry::DeleteValue(const std::string& Name)
{
    if (!FKey)
        return false;
    const LONG Rc = ::RegDeleteValueA(FKey, Name.c_str());
    if (Rc != ERROR_SUCCESS && Rc != ERROR_FILE_NOT_FOUND)
        FLastError = Rc;
    return Rc == ERROR_SUCCESS;
}

std::vector<std::string> Registry::GetValueNames() const
{
    std::vector<std::string> Names;
    if (!FKey)
        return Names;
    for (DWORD I = 0;; ++I) {
        char Buf[16384];
        DWORD Len = sizeof(Buf);
        if (::RegEnumValueA(FKey, I, Buf, &Len, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        Names.emplace_back(Buf, Len);
    }
    return Names;
}

std::string Registry::ReadRaw(const std::string& Name, DWORD& Type) const
{
    DWORD Size = 0;
    if (!GetDataInfo(Name, Type, Size))
        throw RegistryError("Failed to get data for '" + Name + "'");
    std::string Data(Size, '\0');
    if (Size > 0 && ::RegQueryValueExA(FKey, Name.c_str(), nullptr, &Type,
                                       reinterpret_cast<BYTE*>(&Data[0]), &Size) != ERROR_SUCCESS)
        throw RegistryError("Failed to get data for '" + Name + "'");
    Data.resize(Size);
    return Data;
}

std::string Registry::ReadString(const std::string& Name) const
{
    DWORD Type;
    std::string Data = ReadRaw(Name, Type);
    if (Type != REG_SZ && Type != REG_EXPAND_SZ)
        throw RegistryError("Invalid data type for '" + Name + "'");
    const std::size_t End = Data.find('\0');
    if (End != std::string::npos)
        Data.resize(End);
    return Data;
}

int Registry::ReadInteger(const std::string& Name) const
{
    DWORD Type;
    const std::string Data = ReadRaw(Name, Type);
    if (Type != REG_DWORD || Data.size() != sizeof(DWORD))
        throw RegistryError("Invalid data type for '" + Name + "'");
    DWORD V;
    memcpy(&V, Data.data(), sizeof(V));
    return static_cast<int>(V);
}

std::string Registry::ReadBinaryData(const std::string& Name) const
{
    DWORD Type;
    return ReadRaw(Name, Type);
}

void Registry::WriteRaw(const std::string& Name, DWORD Type, const void* Data, DWORD Size)
{
    const LONG Rc = FKey ? ::RegSetValueExA(FKey, Name.c_str(), 0, Type,
                                            static_cast<const BYTE*>(Data), Size)
                         : ERROR_INVALID_HANDLE;
    if (Rc != ERROR_SUCCESS) {
        FLastError = Rc;
        throw RegistryError("Failed to set data for '" + Name + "'");
    }
}

void Registry::WriteString(const std::string& Name, const std::string& Value)
{
    WriteRaw(Name, REG_SZ, Value.c_str(), static_cast<DWORD>(Value.size() + 1));
}

void Registry::WriteInteger(const std::string& Name, int Value)
{
    const DWORD V = static_cast<DWORD>(Value);
    WriteRaw(Name, REG_DWORD, &V, sizeof(V));
}

void Registry::WriteBinaryData(const std::string& Name, const std::string& Data)
{
    WriteRaw(Name, REG_BINARY, Data.data(), static_cast<DWORD>(Data.size()));
}
