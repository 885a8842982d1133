# The form subclasser: every message of a window to its owner, before the window's procedure.
corvane_pure_library(corvane_form_subclass_core
    FormSubclassLists.cpp
)

corvane_win32_library(corvane_form_subclass
    cFormSubclass.cpp
)
if(WIN32)
    target_link_libraries(corvane_form_subclass PUBLIC corvane_form_subclass_core)
endif()
