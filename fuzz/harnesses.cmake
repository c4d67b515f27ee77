# The libFuzzer harnesses, one per reader of outside bytes. Taken in by the fuzzing build
# of fuzz/CMakeLists.txt (a project of its own) and by the program's project when it is
# configured with AMENDS_FUZZ (the address sanitizer build of the test command, which so
# compiles the libraries once for its tests and its fuzzing). Both are clang builds with
# the address and undefined-behaviour sanitizers.
#
# The layers the readers live in (below the windows) are compiled with coverage for
# libFuzzer, optimised enough to fuzz quickly (assertions stay on: a failed assertion on
# hostile input is a finding); the harness executables link libFuzzer's main.
set(AMENDS_FUZZ_DIR "${CMAKE_CURRENT_LIST_DIR}")
set(AMENDS_ROOT "${AMENDS_FUZZ_DIR}/..")
find_package(Qt6 6.4 REQUIRED COMPONENTS Core Gui Widgets PrintSupport)

# The harnesses link only the layers below the windows (the platform adapter, the core,
# the records and encoders of every subsystem) and the card base drawing, so fuzzing
# does not need the windows at all.
add_library(amends_readers STATIC
  "${AMENDS_ROOT}/canvas/RenderCardBase.cpp" "${AMENDS_ROOT}/canvas/RenderCardBase.h"
  "${AMENDS_ROOT}/designs/DesignFileSupport.cpp" "${AMENDS_ROOT}/designs/DesignFileSupport.h")
set_target_properties(amends_readers PROPERTIES AUTOMOC ON)
target_include_directories(amends_readers PUBLIC "${AMENDS_ROOT}")
target_link_libraries(amends_readers PUBLIC amends_records amends_core amends_platform
                      Qt6::Widgets Qt6::PrintSupport)

# What every harness shares: the Qt application and resource folder, the checks, and
# the representative designs the seed corpus is written from.
add_library(amends_fuzz_support STATIC
  "${AMENDS_FUZZ_DIR}/FuzzSupport.cpp" "${AMENDS_FUZZ_DIR}/FuzzSupport.h"
  "${AMENDS_FUZZ_DIR}/SeedDesigns.cpp" "${AMENDS_FUZZ_DIR}/SeedDesigns.h")
target_link_libraries(amends_fuzz_support PUBLIC amends_readers)
target_include_directories(amends_fuzz_support PUBLIC "${AMENDS_FUZZ_DIR}")

foreach(target IN ITEMS amends_platform_base amends_platform amends_core amends_records
                        amends_readers amends_fuzz_support)
  target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link -O1)
endforeach()

set(AMENDS_FUZZ_HARNESSES
  property_list      # platform/PropertyList: XML and binary property lists
  card_object        # core/CardObjectArchive: one card object's keyed archive
  card_settings      # core/Card_Property: a card side's settings archive
  pasteboard         # QLNGraphic::graphicsWithPasteboardData: copied card objects
  design_log         # designs/model/DesignLog: the bytes of a .dcard file
  settings_file      # output/model/Preferences: the e-mail settings file
  qr_encoder         # barcode/encoding/QRSymbolEncoder: any text with any options
  datamatrix_encoder # barcode/encoding/DataMatrixEncoder: any data with any modes and size
  pdf417_encoder     # barcode/encoding/PDF417Encoder: any text with any level, shape and options
  series_file        # dataseries/model/SeriesStore: a Batch Processing Series file
  zip_archive        # dataseries/model/ZipArchive: a zip archive (an xlsx package)
  spreadsheet        # dataseries/model/SpreadsheetReader and SpreadsheetWriter: a part of an xlsx,
                     # ODS or Office 2003 file, also read and written as the program does it
  import_sources     # dataseries/model/ImportSources: a text, CSV or RTF file to import
)
add_custom_target(fuzz_harnesses)
foreach(name IN LISTS AMENDS_FUZZ_HARNESSES)
  add_executable(fuzz_${name} "${AMENDS_FUZZ_DIR}/fuzz_${name}.cpp")
  target_compile_options(fuzz_${name} PRIVATE -fsanitize=fuzzer -O1)
  target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(fuzz_${name} PRIVATE amends_fuzz_support)
  add_dependencies(fuzz_harnesses fuzz_${name})
endforeach()
