local function run(n)
    local check = 0
    for i = 0, n - 1 do
        local line = "item" .. i .. " costs " .. (i * 7 % 100) .. " units"
        check = check + #(line:gsub("%d+", "#"))
        local parts = 0
        for _ in line:gmatch("[^ ]+") do parts = parts + 1 end
        check = check + parts
        if line:find("costs 4") then check = check + 5 end
        check = check + line:upper():find("UNITS", 1, true) - 1
        check = check + #line:sub(3, 6)
        check = check % 1000003
    end
    return check
end
print(run(tonumber(arg[1])))
