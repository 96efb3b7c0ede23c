#include "mainwindow/SettingsStoreWin.h"

#include "shell/Shell_Win32Win.h"

namespace {

template <typename F> bool Attempt(F&& Fn)
{
    try {
        Fn();
        return true;
    } catch (const RegistryError&) {
        return false;
    }
}

}  // namespace

bool TRegistrySettingsStore::OpenKey(const std::string& Key, bool CanCreate)
{
    return Registry.OpenKey(Key, CanCreate);
}

bool TRegistrySettingsStore::OpenKeyReadOnly(const std::string& Key)
{
    return Registry.OpenKeyReadOnly(Key);
}

void TRegistrySettingsStore::CloseKey()
{
    Registry.CloseKey();
}

bool TRegistrySettingsStore::ReadInteger(const std::string& Name, int& Value)
{
    return Attempt([&] { Value = Registry.ReadInteger(Name); });
}

bool TRegistrySettingsStore::GetValueInfo(const std::string& Name, TValueKind& Kind,
                                          std::size_t& Size)
{
    DWORD Type = 0, Bytes = 0;
    if (!Registry.GetDataInfo(Name, Type, Bytes))
        return false;
    Kind = Type == REG_BINARY                        ? TValueKind::Binary
           : Type == REG_DWORD                       ? TValueKind::Integer
           : Type == REG_SZ || Type == REG_EXPAND_SZ ? TValueKind::String
                                                     : TValueKind::Other;
    Size = Bytes;
    return true;
}

bool TRegistrySettingsStore::ReadBinary(const std::string& Name, std::string& Data)
{
    return Attempt([&] { Data = Registry.ReadBinaryData(Name); });
}

bool TRegistrySettingsStore::WriteInteger(const std::string& Name, int Value)
{
    return Attempt([&] { Registry.WriteInteger(Name, Value); });
}

bool TRegistrySettingsStore::WriteString(const std::string& Name, const std::string& Value)
{
    return Attempt([&] { Registry.WriteString(Name, Value); });
}

bool TRegistrySettingsStore::WriteBinary(const std::string& Name, const std::string& Data)
{
    return Attempt([&] { Registry.WriteBinaryData(Name, Data); });
}

bool TRegistrySettingsStore::DeleteValue(const std::string& Name)
{
    return Registry.DeleteValue(Name);
}

std::string TRegistrySettingsStore::LastFailure() const
{
    return SysErrorText(static_cast<DWORD>(Registry.LastError()));
}
