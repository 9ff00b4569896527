# Copies folder SRC into DST when SRC exists (the report templates may not be there yet).
if(EXISTS "${SRC}")
  file(COPY "${SRC}/" DESTINATION "${DST}")
endif()
