// Run-time class records: derivation, kind tests, dynamic creation and the
// names, including use while static objects are being constructed.
#include <CObject.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

class CShape : public CObject
{
    DECLARE_DYNAMIC(CShape)
};

class CCircle : public CShape
{
    DECLARE_DYNCREATE(CCircle)
public:
    int m_radius = 7;
};

class CBigCircle : public CCircle
{
    DECLARE_DYNCREATE(CBigCircle)
protected:
    CBigCircle() { m_radius = 100; }
};

class CUnrelated : public CObject
{
    DECLARE_DYNCREATE(CUnrelated)
};

// Constructed before the records below are defined: correct only because
// the records are constant-initialised.
const bool derivedDuringStaticInitialisation =
    RUNTIME_CLASS(CBigCircle)->IsDerivedFrom(RUNTIME_CLASS(CShape)) &&
    strcmp(RUNTIME_CLASS(CCircle)->m_lpszClassName, "CCircle") == 0;

IMPLEMENT_DYNAMIC(CShape, CObject)
IMPLEMENT_DYNCREATE(CCircle, CShape)
IMPLEMENT_DYNCREATE(CBigCircle, CCircle)
IMPLEMENT_DYNCREATE(CUnrelated, CObject)

struct DerivationCase
{
    CRuntimeClass *derived;
    CRuntimeClass *base;
    bool expected;
};

class RuntimeClassDerivation : public ::testing::TestWithParam<DerivationCase> {};

TEST_P(RuntimeClassDerivation, IsDerivedFromFollowsTheBaseChain)
{
    const DerivationCase &c = GetParam();
    EXPECT_EQ(c.expected, c.derived->IsDerivedFrom(c.base) != FALSE)
        << c.derived->m_lpszClassName << " from " << c.base->m_lpszClassName;
}

INSTANTIATE_TEST_SUITE_P(Cases, RuntimeClassDerivation, ::testing::Values(
    DerivationCase{RUNTIME_CLASS(CBigCircle), RUNTIME_CLASS(CBigCircle), true},
    DerivationCase{RUNTIME_CLASS(CBigCircle), RUNTIME_CLASS(CCircle), true},
    DerivationCase{RUNTIME_CLASS(CBigCircle), RUNTIME_CLASS(CShape), true},
    DerivationCase{RUNTIME_CLASS(CBigCircle), RUNTIME_CLASS(CObject), true},
    DerivationCase{RUNTIME_CLASS(CObject), RUNTIME_CLASS(CObject), true},
    DerivationCase{RUNTIME_CLASS(CShape), RUNTIME_CLASS(CCircle), false},
    DerivationCase{RUNTIME_CLASS(CBigCircle), RUNTIME_CLASS(CUnrelated), false},
    DerivationCase{RUNTIME_CLASS(CUnrelated), RUNTIME_CLASS(CShape), false},
    DerivationCase{RUNTIME_CLASS(CObject), RUNTIME_CLASS(CShape), false}));

TEST(RuntimeClass, RecordsHoldTheNamesSizesAndBases)
{
    EXPECT_TRUE(derivedDuringStaticInitialisation);
    EXPECT_STREQ("CObject", RUNTIME_CLASS(CObject)->m_lpszClassName);
    EXPECT_STREQ("CShape", RUNTIME_CLASS(CShape)->m_lpszClassName);
    EXPECT_STREQ("CBigCircle", RUNTIME_CLASS(CBigCircle)->m_lpszClassName);
    EXPECT_EQ(static_cast<int>(sizeof(CCircle)), RUNTIME_CLASS(CCircle)->m_nObjectSize);
    EXPECT_EQ(RUNTIME_CLASS(CShape), RUNTIME_CLASS(CCircle)->m_pBaseClass);
    EXPECT_EQ(nullptr, RUNTIME_CLASS(CObject)->m_pBaseClass);
}

TEST(RuntimeClass, CreateObjectMakesTheRightTypeOrNothing)
{
    std::unique_ptr<CObject> circle(RUNTIME_CLASS(CCircle)->CreateObject());
    ASSERT_NE(nullptr, circle);
    EXPECT_EQ(RUNTIME_CLASS(CCircle), circle->GetRuntimeClass());
    EXPECT_TRUE(circle->IsKindOf(RUNTIME_CLASS(CShape)));
    EXPECT_FALSE(circle->IsKindOf(RUNTIME_CLASS(CBigCircle)));
    EXPECT_EQ(7, static_cast<CCircle *>(circle.get())->m_radius);

    std::unique_ptr<CObject> big(RUNTIME_CLASS(CBigCircle)->CreateObject());
    ASSERT_NE(nullptr, big);
    EXPECT_TRUE(big->IsKindOf(RUNTIME_CLASS(CCircle)));
    EXPECT_EQ(100, static_cast<CCircle *>(big.get())->m_radius);

    EXPECT_EQ(nullptr, RUNTIME_CLASS(CShape)->CreateObject());
    EXPECT_EQ(nullptr, RUNTIME_CLASS(CObject)->CreateObject());

    std::unique_ptr<CObject> other(RUNTIME_CLASS(CUnrelated)->CreateObject());
    ASSERT_NE(nullptr, other);
    EXPECT_FALSE(other->IsKindOf(RUNTIME_CLASS(CShape)));
    EXPECT_TRUE(other->IsKindOf(RUNTIME_CLASS(CObject)));
}

} // namespace
