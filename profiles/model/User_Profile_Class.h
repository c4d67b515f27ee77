#pragma once
// User_Profile_Class: one user profile, eleven personal or business fields (name,
// position, company, slogan, address, phone, fax, e-mail, website, a unique number and
// a photo). Each field has its text value, the control ids its card objects carry, and
// its data source: typed by hand, taken from a Batch Processing Series, or taken from
// a column of the imported spreadsheet.
//
// The main window keeps three records for the whole run (front, back and the temp side
// of the profile preview). The profile windows write them, the placing step reads them
// and turns every non-empty field into a card object. Records are never saved to a file.
//
// A new record has every flag and index 0 and every string null; Reset_All_Values gives
// the fields their fixed ids and empty values. Every field has a getter named like the
// field and a setter "set" + the name with its first letter in upper case
// (setName_ds, setSlogan_xl_col_indx, setImage). For loops over the eleven fields the
// same members are reachable by field index (Field).
//
// Data-source rules the profile windows keep: at most one of F_ds and F_xl is set; a
// hand-typed field has both 0, an empty series name and indexes 0.
//
// A field is waiting to be placed (pending) when its value or binding differs from what
// it held when it was last settled (by Reset_All_Values, by a placing of the field, or
// by a profile window that found the field as the user left it), or when a profile
// window marked it as entered. Placing changes only waiting fields, so a field the user
// did not touch in the window keeps its card object as it is.
//
// Main thread only.

#include <QString>

#include <array>

class User_Profile_Class {
public:
  // The eleven fields, in their fixed order.
  enum Field {
    NameField,
    TitleField,
    CompanyNameField,
    SloganField,
    AddressField,
    PhoneField,
    FaxField,
    EmailField,
    WebsiteField,
    UniqueField,
    ImageField,
  };
  static constexpr int FieldCount = 11;

  // The fixed control ids of a field: its card object's id ("Fup_Name") and the id
  // reserved for its caption ("Fup_lbl_Name"). Empty for an index out of range.
  static QString fixedId(int field);
  static QString fixedLabelId(int field);

  // Every flag and index 0, every string null.
  User_Profile_Class() = default;

  // Gives the ids and label ids their fixed values, clears both flags, every value and
  // series name to "", every series and spreadsheet binding to 0.
  void Reset_All_Values();

  // ---- Record flags
  // Set when a profile window takes a profile into this record as front or back profile.
  bool Fill_User_Profile_Enable() const { return m_Fill_User_Profile_Enable; }
  void setFill_User_Profile_Enable(bool value) { m_Fill_User_Profile_Enable = value; }
  // Set when the record was filled while the imported spreadsheet grid held rows.
  bool Excel_Binding() const { return m_Excel_Binding; }
  void setExcel_Binding(bool value) { m_Excel_Binding = value; }

  // ---- Takes its value from a Batch Processing Series.
  bool Name_ds() const { return m_ds[NameField]; }
  void setName_ds(bool value) { m_ds[NameField] = value; }
  bool Title_ds() const { return m_ds[TitleField]; }
  void setTitle_ds(bool value) { m_ds[TitleField] = value; }
  bool Company_name_ds() const { return m_ds[CompanyNameField]; }
  void setCompany_name_ds(bool value) { m_ds[CompanyNameField] = value; }
  bool slogan_ds() const { return m_ds[SloganField]; }
  void setSlogan_ds(bool value) { m_ds[SloganField] = value; }
  bool address_ds() const { return m_ds[AddressField]; }
  void setAddress_ds(bool value) { m_ds[AddressField] = value; }
  bool phone_ds() const { return m_ds[PhoneField]; }
  void setPhone_ds(bool value) { m_ds[PhoneField] = value; }
  bool fax_ds() const { return m_ds[FaxField]; }
  void setFax_ds(bool value) { m_ds[FaxField] = value; }
  bool email_ds() const { return m_ds[EmailField]; }
  void setEmail_ds(bool value) { m_ds[EmailField] = value; }
  bool website_ds() const { return m_ds[WebsiteField]; }
  void setWebsite_ds(bool value) { m_ds[WebsiteField] = value; }
  bool unique_ds() const { return m_ds[UniqueField]; }
  void setUnique_ds(bool value) { m_ds[UniqueField] = value; }
  bool image_ds() const { return m_ds[ImageField]; }
  void setImage_ds(bool value) { m_ds[ImageField] = value; }
  // ---- Takes its value from a spreadsheet column.
  bool Name_xl() const { return m_xl[NameField]; }
  void setName_xl(bool value) { m_xl[NameField] = value; }
  bool Title_xl() const { return m_xl[TitleField]; }
  void setTitle_xl(bool value) { m_xl[TitleField] = value; }
  bool Company_name_xl() const { return m_xl[CompanyNameField]; }
  void setCompany_name_xl(bool value) { m_xl[CompanyNameField] = value; }
  bool slogan_xl() const { return m_xl[SloganField]; }
  void setSlogan_xl(bool value) { m_xl[SloganField] = value; }
  bool address_xl() const { return m_xl[AddressField]; }
  void setAddress_xl(bool value) { m_xl[AddressField] = value; }
  bool phone_xl() const { return m_xl[PhoneField]; }
  void setPhone_xl(bool value) { m_xl[PhoneField] = value; }
  bool fax_xl() const { return m_xl[FaxField]; }
  void setFax_xl(bool value) { m_xl[FaxField] = value; }
  bool email_xl() const { return m_xl[EmailField]; }
  void setEmail_xl(bool value) { m_xl[EmailField] = value; }
  bool website_xl() const { return m_xl[WebsiteField]; }
  void setWebsite_xl(bool value) { m_xl[WebsiteField] = value; }
  bool unique_xl() const { return m_xl[UniqueField]; }
  void setUnique_xl(bool value) { m_xl[UniqueField] = value; }
  bool image_xl() const { return m_xl[ImageField]; }
  void setImage_xl(bool value) { m_xl[ImageField] = value; }
  // ---- Index of the bound series in the profile window's list of series names.
  qint32 Name_ds_indx() const { return m_ds_indx[NameField]; }
  void setName_ds_indx(qint32 value) { m_ds_indx[NameField] = value; }
  qint32 Title_ds_indx() const { return m_ds_indx[TitleField]; }
  void setTitle_ds_indx(qint32 value) { m_ds_indx[TitleField] = value; }
  qint32 Company_name_ds_indx() const { return m_ds_indx[CompanyNameField]; }
  void setCompany_name_ds_indx(qint32 value) { m_ds_indx[CompanyNameField] = value; }
  qint32 slogan_ds_indx() const { return m_ds_indx[SloganField]; }
  void setSlogan_ds_indx(qint32 value) { m_ds_indx[SloganField] = value; }
  qint32 address_ds_indx() const { return m_ds_indx[AddressField]; }
  void setAddress_ds_indx(qint32 value) { m_ds_indx[AddressField] = value; }
  qint32 phone_ds_indx() const { return m_ds_indx[PhoneField]; }
  void setPhone_ds_indx(qint32 value) { m_ds_indx[PhoneField] = value; }
  qint32 fax_ds_indx() const { return m_ds_indx[FaxField]; }
  void setFax_ds_indx(qint32 value) { m_ds_indx[FaxField] = value; }
  qint32 email_ds_indx() const { return m_ds_indx[EmailField]; }
  void setEmail_ds_indx(qint32 value) { m_ds_indx[EmailField] = value; }
  qint32 website_ds_indx() const { return m_ds_indx[WebsiteField]; }
  void setWebsite_ds_indx(qint32 value) { m_ds_indx[WebsiteField] = value; }
  qint32 unique_ds_indx() const { return m_ds_indx[UniqueField]; }
  void setUnique_ds_indx(qint32 value) { m_ds_indx[UniqueField] = value; }
  qint32 image_ds_indx() const { return m_ds_indx[ImageField]; }
  void setImage_ds_indx(qint32 value) { m_ds_indx[ImageField] = value; }
  // ---- Index of the bound column among the imported-rows table's columns.
  qint32 Name_xl_col_indx() const { return m_xl_col_indx[NameField]; }
  void setName_xl_col_indx(qint32 value) { m_xl_col_indx[NameField] = value; }
  qint32 Title_xl_col_indx() const { return m_xl_col_indx[TitleField]; }
  void setTitle_xl_col_indx(qint32 value) { m_xl_col_indx[TitleField] = value; }
  qint32 Company_name_xl_col_indx() const { return m_xl_col_indx[CompanyNameField]; }
  void setCompany_name_xl_col_indx(qint32 value) { m_xl_col_indx[CompanyNameField] = value; }
  qint32 slogan_xl_col_indx() const { return m_xl_col_indx[SloganField]; }
  void setSlogan_xl_col_indx(qint32 value) { m_xl_col_indx[SloganField] = value; }
  qint32 address_xl_col_indx() const { return m_xl_col_indx[AddressField]; }
  void setAddress_xl_col_indx(qint32 value) { m_xl_col_indx[AddressField] = value; }
  qint32 phone_xl_col_indx() const { return m_xl_col_indx[PhoneField]; }
  void setPhone_xl_col_indx(qint32 value) { m_xl_col_indx[PhoneField] = value; }
  qint32 fax_xl_col_indx() const { return m_xl_col_indx[FaxField]; }
  void setFax_xl_col_indx(qint32 value) { m_xl_col_indx[FaxField] = value; }
  qint32 email_xl_col_indx() const { return m_xl_col_indx[EmailField]; }
  void setEmail_xl_col_indx(qint32 value) { m_xl_col_indx[EmailField] = value; }
  qint32 website_xl_col_indx() const { return m_xl_col_indx[WebsiteField]; }
  void setWebsite_xl_col_indx(qint32 value) { m_xl_col_indx[WebsiteField] = value; }
  qint32 unique_xl_col_indx() const { return m_xl_col_indx[UniqueField]; }
  void setUnique_xl_col_indx(qint32 value) { m_xl_col_indx[UniqueField] = value; }
  qint32 image_xl_col_indx() const { return m_xl_col_indx[ImageField]; }
  void setImage_xl_col_indx(qint32 value) { m_xl_col_indx[ImageField] = value; }
  // ---- Control id of the field's card object.
  QString Name_id() const { return m_id[NameField]; }
  void setName_id(const QString &value) { m_id[NameField] = value; }
  QString Title_id() const { return m_id[TitleField]; }
  void setTitle_id(const QString &value) { m_id[TitleField] = value; }
  QString Company_name_id() const { return m_id[CompanyNameField]; }
  void setCompany_name_id(const QString &value) { m_id[CompanyNameField] = value; }
  QString slogan_id() const { return m_id[SloganField]; }
  void setSlogan_id(const QString &value) { m_id[SloganField] = value; }
  QString address_id() const { return m_id[AddressField]; }
  void setAddress_id(const QString &value) { m_id[AddressField] = value; }
  QString phone_id() const { return m_id[PhoneField]; }
  void setPhone_id(const QString &value) { m_id[PhoneField] = value; }
  QString fax_id() const { return m_id[FaxField]; }
  void setFax_id(const QString &value) { m_id[FaxField] = value; }
  QString email_id() const { return m_id[EmailField]; }
  void setEmail_id(const QString &value) { m_id[EmailField] = value; }
  QString website_id() const { return m_id[WebsiteField]; }
  void setWebsite_id(const QString &value) { m_id[WebsiteField] = value; }
  QString unique_id() const { return m_id[UniqueField]; }
  void setUnique_id(const QString &value) { m_id[UniqueField] = value; }
  QString image_id() const { return m_id[ImageField]; }
  void setImage_id(const QString &value) { m_id[ImageField] = value; }
  // ---- The value: the text entered or shown first by the data source; for the
  // photo an image file path.
  QString Name() const { return m_value[NameField]; }
  void setName(const QString &value) { m_value[NameField] = value; }
  QString Title() const { return m_value[TitleField]; }
  void setTitle(const QString &value) { m_value[TitleField] = value; }
  QString Company_name() const { return m_value[CompanyNameField]; }
  void setCompany_name(const QString &value) { m_value[CompanyNameField] = value; }
  QString slogan() const { return m_value[SloganField]; }
  void setSlogan(const QString &value) { m_value[SloganField] = value; }
  QString address() const { return m_value[AddressField]; }
  void setAddress(const QString &value) { m_value[AddressField] = value; }
  QString phone() const { return m_value[PhoneField]; }
  void setPhone(const QString &value) { m_value[PhoneField] = value; }
  QString fax() const { return m_value[FaxField]; }
  void setFax(const QString &value) { m_value[FaxField] = value; }
  QString email() const { return m_value[EmailField]; }
  void setEmail(const QString &value) { m_value[EmailField] = value; }
  QString website() const { return m_value[WebsiteField]; }
  void setWebsite(const QString &value) { m_value[WebsiteField] = value; }
  QString unique() const { return m_value[UniqueField]; }
  void setUnique(const QString &value) { m_value[UniqueField] = value; }
  QString image() const { return m_value[ImageField]; }
  void setImage(const QString &value) { m_value[ImageField] = value; }
  // ---- Name of the bound Batch Processing Series; empty when not bound to one.
  QString Name_ds_name() const { return m_ds_name[NameField]; }
  void setName_ds_name(const QString &value) { m_ds_name[NameField] = value; }
  QString Title_ds_name() const { return m_ds_name[TitleField]; }
  void setTitle_ds_name(const QString &value) { m_ds_name[TitleField] = value; }
  QString Company_name_ds_name() const { return m_ds_name[CompanyNameField]; }
  void setCompany_name_ds_name(const QString &value) { m_ds_name[CompanyNameField] = value; }
  QString slogan_ds_name() const { return m_ds_name[SloganField]; }
  void setSlogan_ds_name(const QString &value) { m_ds_name[SloganField] = value; }
  QString address_ds_name() const { return m_ds_name[AddressField]; }
  void setAddress_ds_name(const QString &value) { m_ds_name[AddressField] = value; }
  QString phone_ds_name() const { return m_ds_name[PhoneField]; }
  void setPhone_ds_name(const QString &value) { m_ds_name[PhoneField] = value; }
  QString fax_ds_name() const { return m_ds_name[FaxField]; }
  void setFax_ds_name(const QString &value) { m_ds_name[FaxField] = value; }
  QString email_ds_name() const { return m_ds_name[EmailField]; }
  void setEmail_ds_name(const QString &value) { m_ds_name[EmailField] = value; }
  QString website_ds_name() const { return m_ds_name[WebsiteField]; }
  void setWebsite_ds_name(const QString &value) { m_ds_name[WebsiteField] = value; }
  QString unique_ds_name() const { return m_ds_name[UniqueField]; }
  void setUnique_ds_name(const QString &value) { m_ds_name[UniqueField] = value; }
  QString image_ds_name() const { return m_ds_name[ImageField]; }
  void setImage_ds_name(const QString &value) { m_ds_name[ImageField] = value; }
  // ---- Control id reserved for the field's caption object.
  QString Name_label_id() const { return m_label_id[NameField]; }
  void setName_label_id(const QString &value) { m_label_id[NameField] = value; }
  QString Title_label_id() const { return m_label_id[TitleField]; }
  void setTitle_label_id(const QString &value) { m_label_id[TitleField] = value; }
  QString Company_name_label_id() const { return m_label_id[CompanyNameField]; }
  void setCompany_name_label_id(const QString &value) { m_label_id[CompanyNameField] = value; }
  QString slogan_label_id() const { return m_label_id[SloganField]; }
  void setSlogan_label_id(const QString &value) { m_label_id[SloganField] = value; }
  QString address_label_id() const { return m_label_id[AddressField]; }
  void setAddress_label_id(const QString &value) { m_label_id[AddressField] = value; }
  QString phone_label_id() const { return m_label_id[PhoneField]; }
  void setPhone_label_id(const QString &value) { m_label_id[PhoneField] = value; }
  QString fax_label_id() const { return m_label_id[FaxField]; }
  void setFax_label_id(const QString &value) { m_label_id[FaxField] = value; }
  QString email_label_id() const { return m_label_id[EmailField]; }
  void setEmail_label_id(const QString &value) { m_label_id[EmailField] = value; }
  QString website_label_id() const { return m_label_id[WebsiteField]; }
  void setWebsite_label_id(const QString &value) { m_label_id[WebsiteField] = value; }
  QString unique_label_id() const { return m_label_id[UniqueField]; }
  void setUnique_label_id(const QString &value) { m_label_id[UniqueField] = value; }
  QString image_label_id() const { return m_label_id[ImageField]; }
  void setImage_label_id(const QString &value) { m_label_id[ImageField] = value; }

  // ---- Waiting to be placed (see above). setPending(field, true) marks the field as
  // entered; settle(field) takes its present value and binding as placed.
  bool pending(int field) const;
  void setPending(int field, bool value);
  void settle(int field);
  bool anyPending() const;

  // ---- The same members by field index (Field). Reads out of range answer 0 or a
  // null string; writes out of range do nothing.
  bool ds(int field) const;
  void setDs(int field, bool value);
  bool xl(int field) const;
  void setXl(int field, bool value);
  qint32 dsIndex(int field) const;
  void setDsIndex(int field, qint32 value);
  qint32 xlColumnIndex(int field) const;
  void setXlColumnIndex(int field, qint32 value);
  QString id(int field) const;
  void setId(int field, const QString &value);
  QString value(int field) const;
  void setValue(int field, const QString &value);
  QString dsName(int field) const;
  void setDsName(int field, const QString &value);
  QString labelId(int field) const;
  void setLabelId(int field, const QString &value);

private:
  static bool inRange(int field) { return field >= 0 && field < FieldCount; }
  // A field's value and binding, as compared for pending().
  struct Settled {
    QString value;
    bool ds = false;
    QString dsName;
    qint32 dsIndex = 0;
    bool xl = false;
    qint32 xlColumnIndex = 0;
    bool operator==(const Settled &) const = default;
  };
  Settled current(int field) const;

  bool m_Fill_User_Profile_Enable = false;
  bool m_Excel_Binding = false;
  std::array<bool, FieldCount> m_ds{};
  std::array<qint32, FieldCount> m_ds_indx{};
  std::array<bool, FieldCount> m_xl{};
  std::array<qint32, FieldCount> m_xl_col_indx{};
  std::array<QString, FieldCount> m_id;
  std::array<QString, FieldCount> m_label_id;
  std::array<QString, FieldCount> m_value;
  std::array<QString, FieldCount> m_ds_name;
  std::array<Settled, FieldCount> m_settled{};
  std::array<bool, FieldCount> m_entered{};
};
