local function run(n)
    local check = 0
    local line = ""
    for i = 0, n - 1 do
        line = line .. "<" .. i .. ":" .. (i % 13) .. ">"
        if #line > 200 then
            check = (check + #line + line:byte(i % 50 + 1)) % 1000003
            line = ""
        end
    end
    return check + #line
end
print(run(tonumber(arg[1])))
