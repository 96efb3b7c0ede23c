#include "hosting/VelmoraWin.h"

#include <gtest/gtest.h>

namespace {

const char* const TestKey = "Software\\Tessarine\\QuorvanTest";

class SafeRegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Reg.OpenKey(TestKey, true));
        Reg.WriteString("Text", "hello");
        Reg.WriteInteger("Number", -42);
        Reg.WriteBinaryData("Blob", std::string("a\rb\0c", 5));
    }
    void TearDown() override
    {
        Reg.CloseKey();
        Registry Cleanup;
        Cleanup.DeleteKey(TestKey);
    }
    TSafeRegistry Reg;
};

TEST_F(SafeRegistryTest, ReadsAnswerValueOrDefault)
{
    struct Case {
        const char* Name;
        std::string ExpectString;  // ReadStringDef with default "def"
        int ExpectInt;             // ReadIntegerDef with default 7
    } Cases[] = {
        {"Text", "hello", 7},      // present string; wrong type for an integer
        {"Number", "def", -42},    // present integer; wrong type for a string
        {"Missing", "def", 7},     // absent
        {"Blob", "def", 7},        // binary: neither
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        EXPECT_EQ(Reg.ReadStringDef(C.Name, "def"), C.ExpectString);
        EXPECT_EQ(Reg.ReadIntegerDef(C.Name, 7), C.ExpectInt);
    }
}

TEST_F(SafeRegistryTest, PlainReadsThrowWhereSafeOnesDefault)
{
    EXPECT_THROW(Reg.ReadInteger("Text"), RegistryError);
    EXPECT_THROW(Reg.ReadString("Number"), RegistryError);
    EXPECT_THROW(Reg.ReadInteger("Missing"), RegistryError);
}

TEST_F(SafeRegistryTest, BinaryValueKeepsEveryByte)
{
    EXPECT_EQ(Reg.ReadBinaryData("Blob"), std::string("a\rb\0c", 5));
    DWORD Type, Size;
    ASSERT_TRUE(Reg.GetDataInfo("Blob", Type, Size));
    EXPECT_EQ(Type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(Size, 5u);
}

TEST_F(SafeRegistryTest, ReadOnlyKeyReadsButRefusesWrites)
{
    TSafeRegistry Ro;
    ASSERT_TRUE(Ro.OpenKeyReadOnly(TestKey));
    EXPECT_EQ(Ro.ReadStringDef("Text", ""), "hello");
    EXPECT_THROW(Ro.WriteString("Other", "x"), RegistryError);
    EXPECT_FALSE(Ro.OpenKeyReadOnly("Software\\Tessarine\\QuorvanTest\\NoSuchKey"));
    // With no key open every read falls back to the default.
    EXPECT_EQ(Ro.ReadIntegerDef("Number", 3), 3);
}

}  // namespace
