#include "quillet/WindowsZones.h"

#include <cctype>

namespace quillet {

namespace {

// Windows zone names with the main IANA zone of each (the "001" territory of the CLDR
// windowsZones mapping) and the text of the Windows display name after its "(UTC±hh:mm) ".
struct WindowsZone {
    const char* windows;
    const char* display;
    const char* iana;
};

constexpr WindowsZone kZones[] = {
    {"Dateline Standard Time", "International Date Line West", "Etc/GMT+12"},
    {"UTC-11", "Coordinated Universal Time-11", "Etc/GMT+11"},
    {"Aleutian Standard Time", "Aleutian Islands", "America/Adak"},
    {"Hawaiian Standard Time", "Hawaii", "Pacific/Honolulu"},
    {"Marquesas Standard Time", "Marquesas Islands", "Pacific/Marquesas"},
    {"Alaskan Standard Time", "Alaska", "America/Anchorage"},
    {"UTC-09", "Coordinated Universal Time-09", "Etc/GMT+9"},
    {"Pacific Standard Time (Mexico)", "Baja California", "America/Tijuana"},
    {"UTC-08", "Coordinated Universal Time-08", "Etc/GMT+8"},
    {"Pacific Standard Time", "Pacific Time (US & Canada)", "America/Los_Angeles"},
    {"US Mountain Standard Time", "Arizona", "America/Phoenix"},
    {"Mountain Standard Time (Mexico)", "La Paz, Mazatlan", "America/Mazatlan"},
    {"Mountain Standard Time", "Mountain Time (US & Canada)", "America/Denver"},
    {"Yukon Standard Time", "Yukon", "America/Whitehorse"},
    {"Central America Standard Time", "Central America", "America/Guatemala"},
    {"Central Standard Time", "Central Time (US & Canada)", "America/Chicago"},
    {"Easter Island Standard Time", "Easter Island", "Pacific/Easter"},
    {"Central Standard Time (Mexico)", "Guadalajara, Mexico City, Monterrey", "America/Mexico_City"},
    {"Canada Central Standard Time", "Saskatchewan", "America/Regina"},
    {"SA Pacific Standard Time", "Bogota, Lima, Quito, Rio Branco", "America/Bogota"},
    {"Eastern Standard Time (Mexico)", "Chetumal", "America/Cancun"},
    {"Eastern Standard Time", "Eastern Time (US & Canada)", "America/New_York"},
    {"Haiti Standard Time", "Haiti", "America/Port-au-Prince"},
    {"Cuba Standard Time", "Havana", "America/Havana"},
    {"US Eastern Standard Time", "Indiana (East)", "America/Indiana/Indianapolis"},
    {"Turks And Caicos Standard Time", "Turks and Caicos", "America/Grand_Turk"},
    {"Paraguay Standard Time", "Asuncion", "America/Asuncion"},
    {"Atlantic Standard Time", "Atlantic Time (Canada)", "America/Halifax"},
    {"Venezuela Standard Time", "Caracas", "America/Caracas"},
    {"Central Brazilian Standard Time", "Cuiaba", "America/Cuiaba"},
    {"SA Western Standard Time", "Georgetown, La Paz, Manaus, San Juan", "America/La_Paz"},
    {"Pacific SA Standard Time", "Santiago", "America/Santiago"},
    {"Newfoundland Standard Time", "Newfoundland", "America/St_Johns"},
    {"Tocantins Standard Time", "Araguaina", "America/Araguaina"},
    {"E. South America Standard Time", "Brasilia", "America/Sao_Paulo"},
    {"SA Eastern Standard Time", "Cayenne, Fortaleza", "America/Cayenne"},
    {"Argentina Standard Time", "City of Buenos Aires", "America/Argentina/Buenos_Aires"},
    {"Greenland Standard Time", "Greenland", "America/Godthab"},
    {"Montevideo Standard Time", "Montevideo", "America/Montevideo"},
    {"Magallanes Standard Time", "Punta Arenas", "America/Punta_Arenas"},
    {"Saint Pierre Standard Time", "Saint Pierre and Miquelon", "America/Miquelon"},
    {"Bahia Standard Time", "Salvador", "America/Bahia"},
    {"UTC-02", "Coordinated Universal Time-02", "Etc/GMT+2"},
    {"Azores Standard Time", "Azores", "Atlantic/Azores"},
    {"Cape Verde Standard Time", "Cabo Verde Is.", "Atlantic/Cape_Verde"},
    {"UTC", "Coordinated Universal Time", "Etc/UTC"},
    {"GMT Standard Time", "Dublin, Edinburgh, Lisbon, London", "Europe/London"},
    {"Greenwich Standard Time", "Monrovia, Reykjavik", "Atlantic/Reykjavik"},
    {"Sao Tome Standard Time", "Sao Tome", "Africa/Sao_Tome"},
    {"Morocco Standard Time", "Casablanca", "Africa/Casablanca"},
    {"W. Europe Standard Time", "Amsterdam, Berlin, Bern, Rome, Stockholm, Vienna", "Europe/Berlin"},
    {"Central Europe Standard Time", "Belgrade, Bratislava, Budapest, Ljubljana, Prague", "Europe/Budapest"},
    {"Romance Standard Time", "Brussels, Copenhagen, Madrid, Paris", "Europe/Paris"},
    {"Central European Standard Time", "Sarajevo, Skopje, Warsaw, Zagreb", "Europe/Warsaw"},
    {"W. Central Africa Standard Time", "West Central Africa", "Africa/Lagos"},
    {"Jordan Standard Time", "Amman", "Asia/Amman"},
    {"GTB Standard Time", "Athens, Bucharest", "Europe/Bucharest"},
    {"Middle East Standard Time", "Beirut", "Asia/Beirut"},
    {"Egypt Standard Time", "Cairo", "Africa/Cairo"},
    {"E. Europe Standard Time", "Chisinau", "Europe/Chisinau"},
    {"Syria Standard Time", "Damascus", "Asia/Damascus"},
    {"West Bank Standard Time", "Gaza, Hebron", "Asia/Hebron"},
    {"South Africa Standard Time", "Harare, Pretoria", "Africa/Johannesburg"},
    {"FLE Standard Time", "Helsinki, Kyiv, Riga, Sofia, Tallinn, Vilnius", "Europe/Kiev"},
    {"Israel Standard Time", "Jerusalem", "Asia/Jerusalem"},
    {"South Sudan Standard Time", "Juba", "Africa/Juba"},
    {"Kaliningrad Standard Time", "Kaliningrad", "Europe/Kaliningrad"},
    {"Sudan Standard Time", "Khartoum", "Africa/Khartoum"},
    {"Libya Standard Time", "Tripoli", "Africa/Tripoli"},
    {"Namibia Standard Time", "Windhoek", "Africa/Windhoek"},
    {"Arabic Standard Time", "Baghdad", "Asia/Baghdad"},
    {"Turkey Standard Time", "Istanbul", "Europe/Istanbul"},
    {"Arab Standard Time", "Kuwait, Riyadh", "Asia/Riyadh"},
    {"Belarus Standard Time", "Minsk", "Europe/Minsk"},
    {"Russian Standard Time", "Moscow, St. Petersburg", "Europe/Moscow"},
    {"E. Africa Standard Time", "Nairobi", "Africa/Nairobi"},
    {"Volgograd Standard Time", "Volgograd", "Europe/Volgograd"},
    {"Iran Standard Time", "Tehran", "Asia/Tehran"},
    {"Arabian Standard Time", "Abu Dhabi, Muscat", "Asia/Dubai"},
    {"Astrakhan Standard Time", "Astrakhan, Ulyanovsk", "Europe/Astrakhan"},
    {"Azerbaijan Standard Time", "Baku", "Asia/Baku"},
    {"Russia Time Zone 3", "Izhevsk, Samara", "Europe/Samara"},
    {"Mauritius Standard Time", "Port Louis", "Indian/Mauritius"},
    {"Saratov Standard Time", "Saratov", "Europe/Saratov"},
    {"Georgian Standard Time", "Tbilisi", "Asia/Tbilisi"},
    {"Caucasus Standard Time", "Yerevan", "Asia/Yerevan"},
    {"Afghanistan Standard Time", "Kabul", "Asia/Kabul"},
    {"West Asia Standard Time", "Ashgabat, Tashkent", "Asia/Tashkent"},
    {"Qyzylorda Standard Time", "Astana", "Asia/Qyzylorda"},
    {"Ekaterinburg Standard Time", "Ekaterinburg", "Asia/Yekaterinburg"},
    {"Pakistan Standard Time", "Islamabad, Karachi", "Asia/Karachi"},
    {"India Standard Time", "Chennai, Kolkata, Mumbai, New Delhi", "Asia/Kolkata"},
    {"Sri Lanka Standard Time", "Sri Jayawardenepura", "Asia/Colombo"},
    {"Nepal Standard Time", "Kathmandu", "Asia/Kathmandu"},
    {"Central Asia Standard Time", "Bishkek", "Asia/Bishkek"},
    {"Bangladesh Standard Time", "Dhaka", "Asia/Dhaka"},
    {"Omsk Standard Time", "Omsk", "Asia/Omsk"},
    {"Myanmar Standard Time", "Yangon (Rangoon)", "Asia/Yangon"},
    {"SE Asia Standard Time", "Bangkok, Hanoi, Jakarta", "Asia/Bangkok"},
    {"Altai Standard Time", "Barnaul, Gorno-Altaysk", "Asia/Barnaul"},
    {"W. Mongolia Standard Time", "Hovd", "Asia/Hovd"},
    {"North Asia Standard Time", "Krasnoyarsk", "Asia/Krasnoyarsk"},
    {"N. Central Asia Standard Time", "Novosibirsk", "Asia/Novosibirsk"},
    {"Tomsk Standard Time", "Tomsk", "Asia/Tomsk"},
    {"China Standard Time", "Beijing, Chongqing, Hong Kong, Urumqi", "Asia/Shanghai"},
    {"North Asia East Standard Time", "Irkutsk", "Asia/Irkutsk"},
    {"Singapore Standard Time", "Kuala Lumpur, Singapore", "Asia/Singapore"},
    {"W. Australia Standard Time", "Perth", "Australia/Perth"},
    {"Taipei Standard Time", "Taipei", "Asia/Taipei"},
    {"Ulaanbaatar Standard Time", "Ulaanbaatar", "Asia/Ulaanbaatar"},
    {"Aus Central W. Standard Time", "Eucla", "Australia/Eucla"},
    {"Transbaikal Standard Time", "Chita", "Asia/Chita"},
    {"Tokyo Standard Time", "Osaka, Sapporo, Tokyo", "Asia/Tokyo"},
    {"North Korea Standard Time", "Pyongyang", "Asia/Pyongyang"},
    {"Korea Standard Time", "Seoul", "Asia/Seoul"},
    {"Yakutsk Standard Time", "Yakutsk", "Asia/Yakutsk"},
    {"Cen. Australia Standard Time", "Adelaide", "Australia/Adelaide"},
    {"AUS Central Standard Time", "Darwin", "Australia/Darwin"},
    {"E. Australia Standard Time", "Brisbane", "Australia/Brisbane"},
    {"AUS Eastern Standard Time", "Canberra, Melbourne, Sydney", "Australia/Sydney"},
    {"West Pacific Standard Time", "Guam, Port Moresby", "Pacific/Port_Moresby"},
    {"Tasmania Standard Time", "Hobart", "Australia/Hobart"},
    {"Vladivostok Standard Time", "Vladivostok", "Asia/Vladivostok"},
    {"Lord Howe Standard Time", "Lord Howe Island", "Australia/Lord_Howe"},
    {"Bougainville Standard Time", "Bougainville Island", "Pacific/Bougainville"},
    {"Russia Time Zone 10", "Chokurdakh", "Asia/Srednekolymsk"},
    {"Magadan Standard Time", "Magadan", "Asia/Magadan"},
    {"Norfolk Standard Time", "Norfolk Island", "Pacific/Norfolk"},
    {"Sakhalin Standard Time", "Sakhalin", "Asia/Sakhalin"},
    {"Central Pacific Standard Time", "Solomon Is., New Caledonia", "Pacific/Guadalcanal"},
    {"Russia Time Zone 11", "Anadyr, Petropavlovsk-Kamchatsky", "Asia/Kamchatka"},
    {"New Zealand Standard Time", "Auckland, Wellington", "Pacific/Auckland"},
    {"UTC+12", "Coordinated Universal Time+12", "Etc/GMT-12"},
    {"Fiji Standard Time", "Fiji", "Pacific/Fiji"},
    {"Chatham Islands Standard Time", "Chatham Islands", "Pacific/Chatham"},
    {"UTC+13", "Coordinated Universal Time+13", "Etc/GMT-13"},
    {"Tonga Standard Time", "Nuku'alofa", "Pacific/Tongatapu"},
    {"Samoa Standard Time", "Samoa", "Pacific/Apia"},
    {"Line Islands Standard Time", "Kiritimati Island", "Pacific/Kiritimati"},
};

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

}  // namespace

const char* WindowsZoneToIana(std::string_view name) {
    for (const auto& z : kZones)
        if (SameIgnoringCase(name, z.windows)) return z.iana;
    // Display names: "(UTC-05:00) Eastern Time (US & Canada)", "(UTC) Coordinated Universal Time",
    // and the older "(GMT+01:00) …" form. The place list decides; the offset in front is not checked,
    // since Windows versions printed different offsets for the same zone.
    if (name.size() > 5 && name[0] == '(' &&
        (SameIgnoringCase(name.substr(1, 3), "UTC") || SameIgnoringCase(name.substr(1, 3), "GMT"))) {
        size_t close = name.find(')');
        if (close == std::string_view::npos) return nullptr;
        std::string_view tail = name.substr(close + 1);
        while (!tail.empty() && tail.front() == ' ') tail.remove_prefix(1);
        for (const auto& z : kZones)
            if (SameIgnoringCase(tail, z.display)) return z.iana;
    }
    return nullptr;
}

}  // namespace quillet
