// The user profile record: a new record, the reset with its fixed ids, and that every
// named accessor reaches its own field (the placing step loops over fields by index,
// the profile windows use the names).

#include "profiles/model/User_Profile_Class.h"

#include <gtest/gtest.h>

#include <QSet>
#include <QString>

namespace {

using P = User_Profile_Class;

// The named accessors of each group, in field order.
struct BoolMember {
  bool (P::*get)() const;
  void (P::*set)(bool);
};
struct IntMember {
  qint32 (P::*get)() const;
  void (P::*set)(qint32);
};
struct StringMember {
  QString (P::*get)() const;
  void (P::*set)(const QString &);
};

constexpr BoolMember kDs[P::FieldCount] = {
    {&P::Name_ds, &P::setName_ds},       {&P::Title_ds, &P::setTitle_ds},
    {&P::Company_name_ds, &P::setCompany_name_ds}, {&P::slogan_ds, &P::setSlogan_ds},
    {&P::address_ds, &P::setAddress_ds}, {&P::phone_ds, &P::setPhone_ds},
    {&P::fax_ds, &P::setFax_ds},         {&P::email_ds, &P::setEmail_ds},
    {&P::website_ds, &P::setWebsite_ds}, {&P::unique_ds, &P::setUnique_ds},
    {&P::image_ds, &P::setImage_ds}};
constexpr BoolMember kXl[P::FieldCount] = {
    {&P::Name_xl, &P::setName_xl},       {&P::Title_xl, &P::setTitle_xl},
    {&P::Company_name_xl, &P::setCompany_name_xl}, {&P::slogan_xl, &P::setSlogan_xl},
    {&P::address_xl, &P::setAddress_xl}, {&P::phone_xl, &P::setPhone_xl},
    {&P::fax_xl, &P::setFax_xl},         {&P::email_xl, &P::setEmail_xl},
    {&P::website_xl, &P::setWebsite_xl}, {&P::unique_xl, &P::setUnique_xl},
    {&P::image_xl, &P::setImage_xl}};
constexpr IntMember kDsIndx[P::FieldCount] = {
    {&P::Name_ds_indx, &P::setName_ds_indx},       {&P::Title_ds_indx, &P::setTitle_ds_indx},
    {&P::Company_name_ds_indx, &P::setCompany_name_ds_indx},
    {&P::slogan_ds_indx, &P::setSlogan_ds_indx},   {&P::address_ds_indx, &P::setAddress_ds_indx},
    {&P::phone_ds_indx, &P::setPhone_ds_indx},     {&P::fax_ds_indx, &P::setFax_ds_indx},
    {&P::email_ds_indx, &P::setEmail_ds_indx},     {&P::website_ds_indx, &P::setWebsite_ds_indx},
    {&P::unique_ds_indx, &P::setUnique_ds_indx},   {&P::image_ds_indx, &P::setImage_ds_indx}};
constexpr IntMember kXlCol[P::FieldCount] = {
    {&P::Name_xl_col_indx, &P::setName_xl_col_indx},
    {&P::Title_xl_col_indx, &P::setTitle_xl_col_indx},
    {&P::Company_name_xl_col_indx, &P::setCompany_name_xl_col_indx},
    {&P::slogan_xl_col_indx, &P::setSlogan_xl_col_indx},
    {&P::address_xl_col_indx, &P::setAddress_xl_col_indx},
    {&P::phone_xl_col_indx, &P::setPhone_xl_col_indx},
    {&P::fax_xl_col_indx, &P::setFax_xl_col_indx},
    {&P::email_xl_col_indx, &P::setEmail_xl_col_indx},
    {&P::website_xl_col_indx, &P::setWebsite_xl_col_indx},
    {&P::unique_xl_col_indx, &P::setUnique_xl_col_indx},
    {&P::image_xl_col_indx, &P::setImage_xl_col_indx}};
constexpr StringMember kId[P::FieldCount] = {
    {&P::Name_id, &P::setName_id},       {&P::Title_id, &P::setTitle_id},
    {&P::Company_name_id, &P::setCompany_name_id}, {&P::slogan_id, &P::setSlogan_id},
    {&P::address_id, &P::setAddress_id}, {&P::phone_id, &P::setPhone_id},
    {&P::fax_id, &P::setFax_id},         {&P::email_id, &P::setEmail_id},
    {&P::website_id, &P::setWebsite_id}, {&P::unique_id, &P::setUnique_id},
    {&P::image_id, &P::setImage_id}};
constexpr StringMember kValue[P::FieldCount] = {
    {&P::Name, &P::setName},       {&P::Title, &P::setTitle},
    {&P::Company_name, &P::setCompany_name}, {&P::slogan, &P::setSlogan},
    {&P::address, &P::setAddress}, {&P::phone, &P::setPhone},
    {&P::fax, &P::setFax},         {&P::email, &P::setEmail},
    {&P::website, &P::setWebsite}, {&P::unique, &P::setUnique},
    {&P::image, &P::setImage}};
constexpr StringMember kDsName[P::FieldCount] = {
    {&P::Name_ds_name, &P::setName_ds_name},       {&P::Title_ds_name, &P::setTitle_ds_name},
    {&P::Company_name_ds_name, &P::setCompany_name_ds_name},
    {&P::slogan_ds_name, &P::setSlogan_ds_name},   {&P::address_ds_name, &P::setAddress_ds_name},
    {&P::phone_ds_name, &P::setPhone_ds_name},     {&P::fax_ds_name, &P::setFax_ds_name},
    {&P::email_ds_name, &P::setEmail_ds_name},     {&P::website_ds_name, &P::setWebsite_ds_name},
    {&P::unique_ds_name, &P::setUnique_ds_name},   {&P::image_ds_name, &P::setImage_ds_name}};
constexpr StringMember kLabelId[P::FieldCount] = {
    {&P::Name_label_id, &P::setName_label_id},       {&P::Title_label_id, &P::setTitle_label_id},
    {&P::Company_name_label_id, &P::setCompany_name_label_id},
    {&P::slogan_label_id, &P::setSlogan_label_id},   {&P::address_label_id, &P::setAddress_label_id},
    {&P::phone_label_id, &P::setPhone_label_id},     {&P::fax_label_id, &P::setFax_label_id},
    {&P::email_label_id, &P::setEmail_label_id},     {&P::website_label_id, &P::setWebsite_label_id},
    {&P::unique_label_id, &P::setUnique_label_id},   {&P::image_label_id, &P::setImage_label_id}};

// Calls through the member pointers of a table entry. (The pointer is copied to a local
// first: GCC 12 with the undefined-behaviour sanitizer miscompiles a call made straight
// through an indexed table entry.)
template <class Member, class Value>
void put(P &p, const Member &member, const Value &value) {
  const auto set = member.set;
  (p.*set)(value);
}
template <class Member>
auto get(const P &p, const Member &member) {
  const auto getter = member.get;
  return (p.*getter)();
}

// Fills every member of every field with a value unique to (group, field).
void fillDistinct(P &p) {
  for (int f = 0; f < P::FieldCount; ++f) {
    put(p, kDs[f], f % 2 == 0);
    put(p, kXl[f], f % 2 == 1);
    put(p, kDsIndx[f], 100 + f);
    put(p, kXlCol[f], 200 + f);
    put(p, kId[f], QStringLiteral("id%1").arg(f));
    put(p, kValue[f], QStringLiteral("value%1").arg(f));
    put(p, kDsName[f], QStringLiteral("series%1").arg(f));
    put(p, kLabelId[f], QStringLiteral("label%1").arg(f));
  }
}

}  // namespace

TEST(UserProfileRecord, NewRecordHasNullStringsAndZeroes) {
  P p;
  EXPECT_FALSE(p.Fill_User_Profile_Enable());
  EXPECT_FALSE(p.Excel_Binding());
  for (int f = 0; f < P::FieldCount; ++f) {
    SCOPED_TRACE(f);
    EXPECT_FALSE(get(p, kDs[f]));
    EXPECT_FALSE(get(p, kXl[f]));
    EXPECT_EQ(get(p, kDsIndx[f]), 0);
    EXPECT_EQ(get(p, kXlCol[f]), 0);
    EXPECT_TRUE(get(p, kId[f]).isNull());
    EXPECT_TRUE(get(p, kValue[f]).isNull());
    EXPECT_TRUE(get(p, kDsName[f]).isNull());
    EXPECT_TRUE(get(p, kLabelId[f]).isNull());
  }
}

TEST(UserProfileRecord, ResetGivesFixedIdsAndEmptyUnboundFields) {
  const char *ids[P::FieldCount][2] = {
      {"Fup_Name", "Fup_lbl_Name"},
      {"Fup_Title", "Fup_lbl_Title"},
      {"Fup_Company", "Fup_lbl_Company"},
      {"Fup_CompanySlogan", "Fup_lbl_CompanySlogan"},
      {"Fup_Address", "Fup_lbl_Address"},
      {"Fup_PhoneNO", "Fup_lbl_PhoneNO"},
      {"Fup_FaxNo", "Fup_lbl_FaxNo"},
      {"Fup_EmailID", "Fup_lbl_EmailID"},
      {"Fup_Website", "Fup_lbl_Website"},
      {"Fup_UniqueNo", "Fup_lbl_UniqueNo"},
      {"Fup_Photo", "Fup_lbl_Photo"},
  };

  // A record bound to series and columns, with values and flags set.
  P p;
  fillDistinct(p);
  p.setFill_User_Profile_Enable(true);
  p.setExcel_Binding(true);
  p.Reset_All_Values();

  EXPECT_FALSE(p.Fill_User_Profile_Enable());
  EXPECT_FALSE(p.Excel_Binding());
  for (int f = 0; f < P::FieldCount; ++f) {
    SCOPED_TRACE(ids[f][0]);
    EXPECT_EQ(get(p, kId[f]), QLatin1String(ids[f][0]));
    EXPECT_EQ(get(p, kLabelId[f]), QLatin1String(ids[f][1]));
    EXPECT_EQ(P::fixedId(f), QLatin1String(ids[f][0]));
    EXPECT_EQ(P::fixedLabelId(f), QLatin1String(ids[f][1]));
    EXPECT_FALSE(get(p, kDs[f]));
    EXPECT_FALSE(get(p, kXl[f]));
    EXPECT_EQ(get(p, kDsIndx[f]), 0);
    EXPECT_EQ(get(p, kXlCol[f]), 0);
    // Empty, not missing: the placing step compares values with "".
    EXPECT_FALSE(get(p, kValue[f]).isNull());
    EXPECT_TRUE(get(p, kValue[f]).isEmpty());
    EXPECT_FALSE(get(p, kDsName[f]).isNull());
    EXPECT_TRUE(get(p, kDsName[f]).isEmpty());
  }
  EXPECT_TRUE(P::fixedId(-1).isEmpty());
  EXPECT_TRUE(P::fixedId(P::FieldCount).isEmpty());

  // A record that was never filled resets to the same state.
  P fresh;
  fresh.Reset_All_Values();
  for (int f = 0; f < P::FieldCount; ++f)
    EXPECT_EQ(fresh.id(f), p.id(f));
}

TEST(UserProfileRecord, EveryNamedAccessorReachesItsOwnField) {
  P p;
  fillDistinct(p);

  // Each group holds eleven distinct values, each where the field index expects it.
  QSet<QString> seen;
  for (int f = 0; f < P::FieldCount; ++f) {
    SCOPED_TRACE(f);
    EXPECT_EQ(p.ds(f), f % 2 == 0);
    EXPECT_EQ(p.xl(f), f % 2 == 1);
    EXPECT_EQ(p.dsIndex(f), 100 + f);
    EXPECT_EQ(p.xlColumnIndex(f), 200 + f);
    EXPECT_EQ(p.id(f), QStringLiteral("id%1").arg(f));
    EXPECT_EQ(p.value(f), QStringLiteral("value%1").arg(f));
    EXPECT_EQ(p.dsName(f), QStringLiteral("series%1").arg(f));
    EXPECT_EQ(p.labelId(f), QStringLiteral("label%1").arg(f));
    seen << p.id(f) << p.value(f) << p.dsName(f) << p.labelId(f);
  }
  EXPECT_EQ(seen.size(), 4 * P::FieldCount);

  // Writes by index come back through the names.
  P q;
  for (int f = 0; f < P::FieldCount; ++f) {
    q.setValue(f, QStringLiteral("v%1").arg(f));
    q.setDs(f, true);
    q.setXlColumnIndex(f, f + 1);
  }
  EXPECT_EQ(q.Name(), QStringLiteral("v0"));
  EXPECT_EQ(q.slogan(), QStringLiteral("v3"));
  EXPECT_EQ(q.image(), QStringLiteral("v10"));
  EXPECT_TRUE(q.unique_ds());
  EXPECT_EQ(q.phone_xl_col_indx(), 6);

  // Out-of-range indexes neither write nor read anything.
  q.setValue(P::FieldCount, QStringLiteral("x"));
  q.setDsIndex(-1, 7);
  EXPECT_TRUE(q.value(P::FieldCount).isNull());
  EXPECT_EQ(q.dsIndex(-1), 0);
}
