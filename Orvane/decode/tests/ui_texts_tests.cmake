# The translation tables of the windows against the texts the core really
# shows. Only QtCore's headers are needed, for the marker macros.
find_package(Qt6 REQUIRED COMPONENTS Core)
velix_add_test(ui_message_texts_tests
  SOURCES ${PROJECT_SOURCE_DIR}/Orvane/ui/message_texts.cpp
          ${PROJECT_SOURCE_DIR}/Orvane/ui/model/status_texts.cpp
          ${PROJECT_SOURCE_DIR}/Orvane/ui/tests/message_texts_test.cpp
  LIBS orvane_decode Qt6::Core)
set_target_properties(ui_message_texts_tests PROPERTIES AUTOMOC OFF)
# The cases name only the fields they set (designated initializers).
target_compile_options(ui_message_texts_tests PRIVATE -Wno-missing-field-initializers)
