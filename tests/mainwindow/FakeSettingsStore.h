// A registry in memory for the stored-state tests: keys of typed values,
// a log of what was opened, written and deleted, and failures on demand.
#pragma once

#include "mainwindow/SettingsStore.h"

#include <map>
#include <set>
#include <string>
#include <vector>

class FakeSettingsStore : public ISettingsStore {
public:
    struct Value {
        TValueKind Kind = TValueKind::Integer;
        std::string Data;
        int Int = 0;
    };
    std::map<std::string, std::map<std::string, Value>> Keys;
    std::vector<std::string> Log;
    std::set<std::string> FailWrites;  // value names whose write fails
    std::set<std::string> NoCreate;    // keys that cannot be created
    std::set<std::string> Refused;     // keys that cannot be opened for writing
    bool ShortReads = false;           // binary reads lose their last byte

    void SetInt(const std::string& K, const std::string& N, int V) { Keys[K][N] = {TValueKind::Integer, "", V}; }
    void SetBinary(const std::string& K, const std::string& N, const std::string& D) { Keys[K][N] = {TValueKind::Binary, D, 0}; }
    void SetString(const std::string& K, const std::string& N, const std::string& D) { Keys[K][N] = {TValueKind::String, D, 0}; }
    const Value* Find(const std::string& Key, const std::string& Name) const
    {
        auto K = Keys.find(Key);
        auto V = K == Keys.end() ? decltype(K->second.end())() : K->second.find(Name);
        return K == Keys.end() || V == K->second.end() ? nullptr : &V->second;
    }

    bool OpenKey(const std::string& Key, bool CanCreate) override
    {
        if (Refused.count(Key))
            return Fail("access to " + Key + " denied");
        if (!Keys.count(Key) && (!CanCreate || NoCreate.count(Key)))
            return Fail("no key " + Key);
        Keys[Key];
        return Open(Key, "open ");
    }
    bool OpenKeyReadOnly(const std::string& Key) override { return Keys.count(Key) && Open(Key, "read "); }
    void CloseKey() override { FOpen.clear(); }
    bool ReadInteger(const std::string& Name, int& V) override
    {
        const Value* P = Find(FOpen, Name);
        return P && P->Kind == TValueKind::Integer && (V = P->Int, true);
    }
    bool GetValueInfo(const std::string& Name, TValueKind& Kind, std::size_t& Size) override
    {
        const Value* P = Find(FOpen, Name);
        return P && (Kind = P->Kind, Size = P->Kind == TValueKind::Integer ? 4 : P->Data.size(), true);
    }
    bool ReadBinary(const std::string& Name, std::string& Data) override
    {
        const Value* P = Find(FOpen, Name);
        if (!P)
            return false;
        Data = ShortReads && !P->Data.empty() ? P->Data.substr(1) : P->Data;
        return true;
    }
    bool WriteInteger(const std::string& Name, int V) override { return Write(Name, {TValueKind::Integer, "", V}); }
    bool WriteString(const std::string& Name, const std::string& D) override { return Write(Name, {TValueKind::String, D, 0}); }
    bool WriteBinary(const std::string& Name, const std::string& D) override { return Write(Name, {TValueKind::Binary, D, 0}); }
    bool DeleteValue(const std::string& Name) override
    {
        Log.push_back("delete " + Name);
        if (FailWrites.count(Name))
            return Fail("delete of " + Name + " refused");
        return Keys[FOpen].erase(Name) > 0;
    }
    std::string LastFailure() const override { return FFailure; }

private:
    bool Open(const std::string& Key, const char* How)
    {
        FOpen = Key;
        Log.push_back(How + Key);
        return true;
    }
    bool Write(const std::string& Name, const Value& V)
    {
        if (FailWrites.count(Name))
            return Fail("write of " + Name + " refused");
        Keys[FOpen][Name] = V;
        Log.push_back("write " + Name);
        return true;
    }
    bool Fail(const std::string& Why)
    {
        FFailure = Why;
        return false;
    }
    std::string FOpen;
    std::string FFailure;
};
