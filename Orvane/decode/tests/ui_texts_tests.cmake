# The translation tables of the windows against the texts the core really
# shows, and the Japanese translation against the tables. Only QtCore is
# needed: its marker macros and the translator.
find_package(Qt6 REQUIRED COMPONENTS Core LinguistTools)
velix_add_test(ui_message_texts_tests
  SOURCES ${PROJECT_SOURCE_DIR}/Orvane/ui/message_texts.cpp
          ${PROJECT_SOURCE_DIR}/Orvane/ui/model/status_texts.cpp
          ${PROJECT_SOURCE_DIR}/Orvane/ui/tests/message_texts_test.cpp
  LIBS orvane_decode Qt6::Core)
set_target_properties(ui_message_texts_tests PROPERTIES AUTOMOC OFF)
# The cases name only the fields they set (designated initializers).
target_compile_options(ui_message_texts_tests PRIVATE -Wno-missing-field-initializers)
qt_add_lrelease(ui_message_texts_tests
  TS_FILES ${PROJECT_SOURCE_DIR}/Orvane/translations/Orvane_ja.ts
  NO_GLOBAL_TARGET
  QM_FILES_OUTPUT_VARIABLE ui_japanese_qm)
target_compile_definitions(ui_message_texts_tests PRIVATE ORVANE_JA_QM="${ui_japanese_qm}")
