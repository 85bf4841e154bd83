#include "shell/outside/com/ComponentFactory.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "shell/_clsOrvStockEx.h"
#include "shell/outside/base/AppError.h"
#include "shell/outside/com/ComModule.h"
#include "shell/outside/com/IClassFactory.h"
#include "techdesc/_clsSTTechDescEx.h"
#include "tests/TestSupport.h"

namespace orv {
namespace {

using ::testing::HasSubstr;

// The registration file of the test profile.
const char* Registrations() { return test::Profile().registration_file.c_str(); }

TEST(ComponentFactoryTest, CreatesBothComponentsByProgIdOnceRegistered) {
  ASSERT_EQ(DllRegisterServer(Registrations()), S_OK);
  ComponentFactory factory{ComRegistry(test::Profile().registration_file)};
  auto stock = factory.Create(kStockProgId).As<HostComponent>(IID_HostComponent);
  auto tech = factory.Create(kTechDescProgId).As<HostComponent>(IID_HostComponent);
  EXPECT_EQ(stock->ProgramName(), "OrvStockEx");
  EXPECT_EQ(tech->ProgramName(), "OrvStockTechDesc");
  EXPECT_TRUE(stock.As<_clsOrvStockEx>(IID_clsOrvStockExInterface));
  EXPECT_FALSE(stock.As<_clsSTTechDescEx>(IID_clsSTTechDescExInterface));
  EXPECT_TRUE(tech.As<_clsSTTechDescEx>(IID_clsSTTechDescExInterface));
}

TEST(ComponentFactoryTest, UnknownOrUnregisteredProgIdIsAClearError) {
  ComponentFactory factory{ComRegistry(test::Profile().registration_file)};
  try {
    factory.Create(kStockProgId);
    FAIL() << "created a component nobody registered";
  } catch (const AppError& error) {
    EXPECT_EQ(error.Number(), REGDB_E_CLASSNOTREG);
    EXPECT_THAT(error.Description(), HasSubstr("OrvStockExcel.clsOrvStockEx"));
  }
  ASSERT_EQ(DllRegisterServer(Registrations()), S_OK);
  try {
    factory.Create("OrvStockExcel.clsNoSuchThing");
    FAIL() << "created a component for an unknown ProgID";
  } catch (const AppError& error) {
    EXPECT_THAT(error.Description(), HasSubstr("OrvStockExcel.clsNoSuchThing"));
  }
  ASSERT_EQ(DllUnregisterServer(Registrations()), S_OK);
  EXPECT_THROW(factory.Create(kTechDescProgId), AppError);
}

TEST(ComponentFactoryTest, CanUnloadOnlyWhenNoObjectIsAlive) {
  ASSERT_EQ(DllRegisterServer(Registrations()), S_OK);
  ASSERT_EQ(DllCanUnloadNow(), S_OK);
  {
    ComponentFactory factory{ComRegistry(test::Profile().registration_file)};
    auto stock = factory.Create(kStockProgId);
    EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
    auto copy = stock;
    stock.Reset();
    EXPECT_EQ(DllCanUnloadNow(), S_FALSE) << "a second reference still holds the component";
  }
  EXPECT_EQ(DllCanUnloadNow(), S_OK);

  ComPtr<IClassFactory> class_object;
  ASSERT_EQ(DllGetClassObject(&CLSID_clsOrvStockEx, &IID_IClassFactory, class_object.Receive()),
            S_OK);
  EXPECT_EQ(DllCanUnloadNow(), S_FALSE) << "a class object is alive";
  class_object->LockServer(true);
  class_object.Reset();
  EXPECT_EQ(DllCanUnloadNow(), S_FALSE) << "a host holds a lock";
  ComModule::Lock(false);
  EXPECT_EQ(DllCanUnloadNow(), S_OK);
}

TEST(ComponentFactoryTest, ClassObjectRefusesUnknownClassesAndInterfaces) {
  ComPtr<IClassFactory> class_object;
  const CLSID unknown{"{00000000-1111-2222-3333-444444444444}"};
  EXPECT_EQ(DllGetClassObject(&unknown, &IID_IClassFactory, class_object.Receive()),
            CLASS_E_CLASSNOTAVAILABLE);
  ASSERT_EQ(DllGetClassObject(&CLSID_clsSTTechDescEx, &IID_IClassFactory, class_object.Receive()),
            S_OK);
  ComPtr<_clsOrvStockEx> wrong;
  EXPECT_EQ(class_object->CreateInstance(nullptr, IID_clsOrvStockExInterface, wrong.Receive()),
            E_NOINTERFACE);
  EXPECT_FALSE(wrong);
  EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
  class_object.Reset();
  EXPECT_EQ(DllCanUnloadNow(), S_OK) << "a refused instance must not stay alive";
}

TEST(ComponentFactoryTest, RegistrationKeepsOtherLibrariesEntries) {
  ComRegistry registry(test::Profile().registration_file);
  registry.Register("Other.Thing", CLSID{"{AAAAAAAA-0000-0000-0000-000000000001}"}, "/opt/other.so",
                    "other");
  ASSERT_EQ(DllRegisterServer(Registrations()), S_OK);
  ASSERT_EQ(DllUnregisterServer(Registrations()), S_OK);
  EXPECT_FALSE(registry.ClsidFromProgId(kStockProgId));
  auto other = registry.ClsidFromProgId("Other.Thing");
  ASSERT_TRUE(other);
  EXPECT_EQ(registry.ServerOf(*other), std::filesystem::path("/opt/other.so"));
}

TEST(ComponentFactoryTest, DamagedRegistrationFileFailsRegistrationAndKeepsTheFile) {
  const std::string damaged = "[progid\nthis is not toml";
  std::ofstream(test::Profile().registration_file) << damaged;
  EXPECT_NE(DllRegisterServer(Registrations()), S_OK);
  std::ifstream in(test::Profile().registration_file);
  std::string kept((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(kept, damaged);
  ComponentFactory factory{ComRegistry(test::Profile().registration_file)};
  try {
    factory.Create(kStockProgId);
    FAIL();
  } catch (const AppError& error) {
    EXPECT_THAT(error.Description(), HasSubstr("damaged"));
  }
}

}  // namespace
}  // namespace orv
