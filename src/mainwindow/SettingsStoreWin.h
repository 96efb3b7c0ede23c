// The stored state's registry: the settings registry of the current user.
#pragma once

#include "hosting/VelmoraWin.h"
#include "mainwindow/SettingsStore.h"

class TRegistrySettingsStore : public ISettingsStore {
public:
    TSafeRegistry Registry;

    bool OpenKey(const std::string& Key, bool CanCreate) override;
    bool OpenKeyReadOnly(const std::string& Key) override;
    void CloseKey() override;
    bool ReadInteger(const std::string& Name, int& Value) override;
    bool GetValueInfo(const std::string& Name, TValueKind& Kind, std::size_t& Size) override;
    bool ReadBinary(const std::string& Name, std::string& Data) override;
    bool WriteInteger(const std::string& Name, int Value) override;
    bool WriteString(const std::string& Name, const std::string& Value) override;
    bool WriteBinary(const std::string& Name, const std::string& Data) override;
    bool DeleteValue(const std::string& Name) override;
    std::string LastFailure() const override;
};
