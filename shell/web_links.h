#pragma once
// The pages the client's help menu opens. The shop's own host names stand in
// the menu captions; the contact number is the shop's service number.
namespace shell {

inline constexpr const char* kWebHost = "www.lumora-fashion.com";
inline constexpr const char* kForumHost = "bbs.lumora-fashion.com";
inline constexpr const char* kShopHost = "shop.lumora-fashion.com";
inline constexpr const char* kContactNumber = "800088613";

inline constexpr const char* kWebSiteUrl = "https://www.lumora-fashion.com/";
inline constexpr const char* kForumUrl = "https://bbs.lumora-fashion.com/";
inline constexpr const char* kShopUrl = "https://shop.lumora-fashion.com/";
inline constexpr const char* kVideoDressingUrl = "https://www.lumora-fashion.com/video/dressing.htm";
inline constexpr const char* kVideoWebRoomUrl = "https://www.lumora-fashion.com/video/webroom.htm";
inline constexpr const char* kVideoPhotoshopUrl = "https://www.lumora-fashion.com/video/photoshop.htm";
// The contact address is built from the number ("%s").
inline constexpr const char* kContactUrlFormat = "https://www.lumora-fashion.com/contact.htm?uin=%s";

inline constexpr const char* kManualDocument = "Lumora服饰搭配之摄像头拍照及图片编辑.doc";

}  // namespace shell
