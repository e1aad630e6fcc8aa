// libxml2 reads a Latin-1 document by its declaration (no iconv in this
// build), and libjpeg reads the header of a JPEG file.
//   smoke_xml_jpeg FILE.jpg
// jpeglib.h wants FILE and size_t declared before it.
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

struct JpegError {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

static void jpeg_fail(j_common_ptr info) { std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1); }

static bool xml_latin1() {
  // "Régime Obligatoire" and "Bénéficiaire" in ISO-8859-1 bytes.
  static const char doc[] =
      "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
      "<carte><regime>R\xe9gime Obligatoire</regime><benef nom=\"B\xe9n\xe9"
      "ficiaire\"/></carte>";
  xmlDocPtr xml = xmlReadMemory(doc, sizeof doc - 1, "carte.xml", nullptr, XML_PARSE_NONET);
  if (!xml) {
    std::printf("xml: parse failed\n");
    return false;
  }
  xmlNodePtr root = xmlDocGetRootElement(xml);
  xmlNodePtr regime = root ? root->children : nullptr;
  xmlChar* text = regime ? xmlNodeGetContent(regime) : nullptr;
  xmlChar* nom = (regime && regime->next) ? xmlGetProp(regime->next, BAD_CAST "nom") : nullptr;
  // libxml2 hands out UTF-8.
  const bool ok = text && nom && std::strcmp(reinterpret_cast<char*>(text), "R\xc3\xa9gime Obligatoire") == 0 &&
                  std::strcmp(reinterpret_cast<char*>(nom),
                              "B\xc3\xa9n\xc3\xa9"
                              "ficiaire") == 0;
  std::printf("xml: libxml2 %s, encoding=%s regime=\"%s\" nom=\"%s\" utf8=%s\n", xmlParserVersion,
              xml->encoding ? reinterpret_cast<const char*>(xml->encoding) : "?", text ? (char*)text : "",
              nom ? (char*)nom : "", ok ? "yes" : "no");
  xmlFree(text);
  xmlFree(nom);
  xmlFreeDoc(xml);
  xmlCleanupParser();
  return ok;
}

static bool jpeg_header(const char* path) {
  std::FILE* file = std::fopen(path, "rb");
  if (!file) {
    std::printf("jpeg: cannot open %s\n", path);
    return false;
  }
  jpeg_decompress_struct info;
  JpegError error;
  info.err = jpeg_std_error(&error.base);
  error.base.error_exit = jpeg_fail;
  if (setjmp(error.jump)) {
    char message[JMSG_LENGTH_MAX];
    error.base.format_message(reinterpret_cast<j_common_ptr>(&info), message);
    std::printf("jpeg: %s\n", message);
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_stdio_src(&info, file);
  jpeg_read_header(&info, TRUE);
  std::printf("jpeg: libjpeg %d, %ux%u, %d components, colour space %d\n", JPEG_LIB_VERSION, info.image_width,
              info.image_height, info.num_components, static_cast<int>(info.jpeg_color_space));
  const bool ok = info.image_width > 0 && info.image_height > 0;
  jpeg_destroy_decompress(&info);
  std::fclose(file);
  return ok;
}

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: smoke_xml_jpeg FILE.jpg\n");
    return 2;
  }
  const bool xml = xml_latin1();
  const bool jpeg = jpeg_header(argv[1]);
  return xml && jpeg ? 0 : 1;
}
