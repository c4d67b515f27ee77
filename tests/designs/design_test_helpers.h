#pragma once
// Helpers shared by the design file tests: comparing two card sides field by field, and
// a limit on the size of the files this process may write (a save that cannot finish).

#include "core/Card_Property.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

inline void expectSameSide(const Card_Property &a, const Card_Property &b) {
  EXPECT_EQ(a.Card_border_chk(), b.Card_border_chk());
  EXPECT_EQ(a.Card_bordr_clr().rgba64(), b.Card_bordr_clr().rgba64());
  EXPECT_EQ(a.Card_bor_Stepper(), b.Card_bor_Stepper());
  EXPECT_EQ(a.Card_border_style(), b.Card_border_style());
  EXPECT_EQ(a.Card_fill_chk(), b.Card_fill_chk());
  EXPECT_EQ(a.Card_fill_style(), b.Card_fill_style());
  EXPECT_EQ(a.Card_fill_clr().rgba64(), b.Card_fill_clr().rgba64());
  EXPECT_EQ(a.Card_fill_Grd_1_clr().rgba64(), b.Card_fill_Grd_1_clr().rgba64());
  EXPECT_EQ(a.Card_fill_Grd_2_clr().rgba64(), b.Card_fill_Grd_2_clr().rgba64());
  EXPECT_EQ(a.Card_grad_Stepper(), b.Card_grad_Stepper());
  EXPECT_EQ(a.Card_hatch_style(), b.Card_hatch_style());
  EXPECT_EQ(a.Card_hatch_bk_clr().rgba64(), b.Card_hatch_bk_clr().rgba64());
  EXPECT_EQ(a.Card_alpha_Stepper(), b.Card_alpha_Stepper());
  EXPECT_EQ(a.Card_Side(), b.Card_Side());
  EXPECT_EQ(a.Card_Side_Name(), b.Card_Side_Name());
  EXPECT_EQ(a.Card_Shape(), b.Card_Shape());
  EXPECT_EQ(a.Card_Name(), b.Card_Name());
  EXPECT_EQ(a.Card_Location(), b.Card_Location());
  EXPECT_EQ(a.Card_Size(), b.Card_Size());
  EXPECT_EQ(a.Card_Preset(), b.Card_Preset());
  EXPECT_EQ(a.Card_Category(), b.Card_Category());
  EXPECT_EQ(a.Card_Sub_Category(), b.Card_Sub_Category());
  EXPECT_EQ(a.Card_Cat_index(), b.Card_Cat_index());
  EXPECT_EQ(a.Card_Create_Mode(), b.Card_Create_Mode());
  EXPECT_EQ(a.Card_BG_Image_Path(), b.Card_BG_Image_Path());
  EXPECT_EQ(a.Card_BG_Image_Layout(), b.Card_BG_Image_Layout());
  EXPECT_EQ(a.Card_Content_clr().rgba64(), b.Card_Content_clr().rgba64());
  EXPECT_EQ(a.Card_Content_font(), b.Card_Content_font());
}

// Holds the size of files this process may write below `bytes` for its life (root is
// bound by it too), with SIGXFSZ ignored so that a write past it fails instead.
class FileSizeLimit {
public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &m_previous);
    m_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = m_previous;
    limit.rlim_cur = bytes;
    m_ok = setrlimit(RLIMIT_FSIZE, &limit) == 0;
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &m_previous);
    std::signal(SIGXFSZ, m_handler);
  }
  bool ok() const { return m_ok; }

private:
  rlimit m_previous{};
  void (*m_handler)(int) = nullptr;
  bool m_ok = false;
};
