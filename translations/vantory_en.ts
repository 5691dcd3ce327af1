<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ko_KR">
<context>
    <name>AssessmentPass</name>
    <message>
        <source>로그인이 필요해요 · 기존 일정 유지</source>
        <translation>Sign-in needed · keeping saved deadlines</translation>
    </message>
    <message>
        <source>일부 날짜를 확인하지 못했어요</source>
        <translation>Some dates couldn&apos;t be read</translation>
    </message>
    <message>
        <source>홈페이지에서 과목을 찾는 중…</source>
        <translation>Finding courses on the home page…</translation>
    </message>
    <message>
        <source>과목 목록 조회 실패 · 기존 일정 유지</source>
        <translation>Couldn&apos;t read the course list · keeping saved deadlines</translation>
    </message>
    <message>
        <source>동기화할 과목이 없어요 · 설정에서 확인</source>
        <translation>No courses to sync · check the settings</translation>
    </message>
    <message>
        <source>%1 동기화 중…</source>
        <translation>Syncing %1…</translation>
    </message>
    <message>
        <source>최근 업데이트 완료</source>
        <translation>Update complete</translation>
    </message>
    <message>
        <source>일부 동기화 실패 · 기존 일정 유지</source>
        <translation>Some courses failed to sync · keeping saved deadlines</translation>
    </message>
</context>
<context>
    <name>Autostart</name>
    <message>
        <source>자동 실행 항목을 지우지 못했습니다: %1</source>
        <translation>Couldn&apos;t remove the startup entry: %1</translation>
    </message>
    <message>
        <source>자동 실행 항목을 저장하지 못했습니다: %1</source>
        <translation>Couldn&apos;t save the startup entry: %1</translation>
    </message>
    <message>
        <source>과제 마감을 상단 표시줄에 보여 줍니다</source>
        <translation>Shows assignment deadlines in the top bar</translation>
    </message>
</context>
<context>
    <name>CalDavFailure</name>
    <message>
        <source>캘린더 서버가 연결을 거부했습니다</source>
        <translation>The calendar server refused the connection</translation>
    </message>
    <message>
        <source>캘린더 서버와의 연결이 끊어졌습니다</source>
        <translation>The connection to the calendar server was lost</translation>
    </message>
    <message>
        <source>캘린더 서버 주소를 찾을 수 없습니다</source>
        <translation>The calendar server&apos;s address can&apos;t be found</translation>
    </message>
    <message>
        <source>캘린더 서버가 응답하지 않습니다</source>
        <translation>The calendar server isn&apos;t responding</translation>
    </message>
    <message>
        <source>인터넷에 연결되어 있지 않습니다</source>
        <translation>Not connected to the internet</translation>
    </message>
    <message>
        <source>캘린더 서버에 연결할 수 없습니다</source>
        <translation>Can&apos;t connect to the calendar server</translation>
    </message>
    <message>
        <source>%1 (오류 %2)</source>
        <translation>%1 (error %2)</translation>
    </message>
    <message numerus="yes">
        <source>캘린더 서버가 %n초 동안 응답하지 않았습니다</source>
        <translation>
            <numerusform>The calendar server didn&apos;t respond for %n second</numerusform>
            <numerusform>The calendar server didn&apos;t respond for %n seconds</numerusform>
        </translation>
    </message>
    <message>
        <source>캘린더 서버와 보안 연결에 실패했습니다 (오류 %1)</source>
        <translation>The secure connection to the calendar server failed (error %1)</translation>
    </message>
    <message>
        <source>사용자 이름이나 암호가 맞지 않습니다 (HTTP %1)</source>
        <translation>Wrong user name or password (HTTP %1)</translation>
    </message>
    <message>
        <source>캘린더 서버가 이 작업을 허락하지 않습니다 (HTTP %1)</source>
        <translation>The calendar server doesn&apos;t allow this (HTTP %1)</translation>
    </message>
    <message>
        <source>캘린더 서버에 이 주소가 없습니다 (HTTP %1)</source>
        <translation>The calendar server has nothing at this address (HTTP %1)</translation>
    </message>
    <message>
        <source>할 일이 다른 곳에서 먼저 바뀌었습니다 (HTTP %1)</source>
        <translation>The task was changed elsewhere first (HTTP %1)</translation>
    </message>
    <message>
        <source>캘린더 서버의 저장 공간이 부족합니다 (HTTP %1)</source>
        <translation>The calendar server is out of storage space (HTTP %1)</translation>
    </message>
    <message>
        <source>캘린더 서버가 오류로 답했습니다 (HTTP %1)</source>
        <translation>The calendar server answered with an error (HTTP %1)</translation>
    </message>
    <message>
        <source>캘린더 서버의 답을 읽을 수 없습니다</source>
        <translation>The calendar server&apos;s answer can&apos;t be read</translation>
    </message>
    <message>
        <source>캘린더 서버가 안전하지 않은 주소로 옮기려 했습니다</source>
        <translation>The calendar server tried to redirect to an unsafe address</translation>
    </message>
    <message>
        <source>이 주소에서 캘린더를 찾을 수 없습니다</source>
        <translation>No calendar found at this address</translation>
    </message>
</context>
<context>
    <name>CalendarServerSync</name>
    <message>
        <source>캘린더 서버 사용자 이름을 입력해 주세요</source>
        <translation>Enter the calendar server&apos;s user name</translation>
    </message>
    <message>
        <source>캘린더 서버 연결 준비 중</source>
        <translation>Getting ready to connect to the calendar server</translation>
    </message>
    <message>
        <source>캘린더 서버 비밀번호를 입력해 주세요</source>
        <translation>Enter the calendar server&apos;s password</translation>
    </message>
    <message>
        <source>캘린더 서버 주소와 사용자 이름을 먼저 정해 주세요</source>
        <translation>Set the calendar server&apos;s address and user name first</translation>
    </message>
    <message>
        <source>비밀번호를 시스템 비밀번호 보관함에 저장했어요</source>
        <translation>Password saved in the system keyring</translation>
    </message>
    <message>
        <source>비밀번호 보관함이 없어 이번 실행 동안만 비밀번호를 기억해요</source>
        <translation>No keyring found: the password is kept only until Vantory quits</translation>
    </message>
    <message>
        <source>캘린더 서버 동기화 중</source>
        <translation>Syncing with the calendar server</translation>
    </message>
    <message>
        <source>캘린더 서버 최근 동기화 %1</source>
        <translation>Calendar server synced at %1</translation>
    </message>
    <message>
        <source>캘린더 서버 로그인 실패 · 비밀번호를 확인해 주세요</source>
        <translation>Calendar server sign-in failed · check the password</translation>
    </message>
    <message>
        <source>캘린더 서버 동기화 실패 · 기존 일정 유지</source>
        <translation>Calendar server sync failed · keeping saved deadlines</translation>
    </message>
</context>
<context>
    <name>CanvasPass</name>
    <message>
        <source>로그인이 필요합니다</source>
        <translation>Sign-in needed</translation>
    </message>
    <message>
        <source>서버 응답 시간 초과</source>
        <translation>The server took too long to respond</translation>
    </message>
    <message>
        <source>과제 목록 형식을 확인하지 못했습니다</source>
        <translation>Couldn&apos;t make sense of the assignment list</translation>
    </message>
    <message>
        <source>과제 데이터 형식을 확인하지 못했습니다</source>
        <translation>Couldn&apos;t make sense of the assignment data</translation>
    </message>
    <message>
        <source>일부 과제의 마감일 형식을 읽지 못했습니다</source>
        <translation>Couldn&apos;t read some assignments&apos; due dates</translation>
    </message>
    <message>
        <source>과제 페이지를 열 수 없습니다</source>
        <translation>Can&apos;t open the assignments page</translation>
    </message>
    <message>
        <source>페이지 데이터 읽기 오류</source>
        <translation>Error reading the page&apos;s data</translation>
    </message>
    <message>
        <source>%1 · 기존 일정 유지</source>
        <translation>%1 · keeping saved deadlines</translation>
    </message>
    <message>
        <source>Canvas에서 과제 목록을 제공하지 않는 과목입니다. 이전 일정은 유지합니다.</source>
        <translation>Canvas offers no assignment list for this course. Its earlier deadlines are kept.</translation>
    </message>
    <message>
        <source>Canvas에서 과제 목록을 제공하지 않는 과목입니다.</source>
        <translation>Canvas offers no assignment list for this course.</translation>
    </message>
    <message>
        <source>마감은 업데이트했지만 제출 상태를 확인하지 못했습니다. 기존 완료 상태를 유지합니다.</source>
        <translation>Deadlines updated, but submissions couldn&apos;t be checked. Done marks are kept as they were.</translation>
    </message>
    <message>
        <source>제출 상태를 확인하지 못했습니다</source>
        <translation>Couldn&apos;t check submissions</translation>
    </message>
    <message>
        <source>Canvas 전체 과목 조회 중…</source>
        <translation>Reading all Canvas courses…</translation>
    </message>
    <message>
        <source>Canvas 로그인이 필요해요</source>
        <translation>Canvas sign-in needed</translation>
    </message>
    <message>
        <source>Canvas 과목 조회 실패 · 기존 일정 유지</source>
        <translation>Couldn&apos;t read Canvas courses · keeping saved deadlines</translation>
    </message>
    <message>
        <source>Canvas %1 동기화 중…</source>
        <translation>Syncing Canvas %1…</translation>
    </message>
    <message>
        <source>Canvas 재로그인이 필요해요</source>
        <translation>Sign in to Canvas again</translation>
    </message>
    <message numerus="yes">
        <source>Canvas %n개 과목 업데이트 · %1개 확인 필요</source>
        <translation>
            <numerusform>Canvas: %n course updated · %1 to check</numerusform>
            <numerusform>Canvas: %n courses updated · %1 to check</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Canvas 업데이트 완료 · %n개 과목은 과제 목록 미제공</source>
        <translation>
            <numerusform>Canvas updated · %n course has no assignment list</numerusform>
            <numerusform>Canvas updated · %n courses have no assignment list</numerusform>
        </translation>
    </message>
    <message>
        <source>Canvas 업데이트 완료</source>
        <translation>Canvas updated</translation>
    </message>
</context>
<context>
    <name>DashboardItems</name>
    <message>
        <source>%1 공개 · 마감일 미확인</source>
        <translation>Available %1 · due date unknown</translation>
    </message>
    <message>
        <source>마감 제한 없음</source>
        <translation>No deadline</translation>
    </message>
    <message>
        <source>마감일 미확인</source>
        <translation>Due date unknown</translation>
    </message>
    <message>
        <source>자동 완료 · 사이트 상태를 동기화해 갱신합니다</source>
        <translation>Done automatically · follows the site on each sync</translation>
    </message>
    <message>
        <source>수동 완료 해제</source>
        <translation>Unmark as done</translation>
    </message>
    <message>
        <source>완료 처리</source>
        <translation>Mark as done</translation>
    </message>
    <message>
        <source>전체 과제</source>
        <translation>All assignments</translation>
    </message>
    <message>
        <source>전체</source>
        <translation>All</translation>
    </message>
    <message>
        <source>다가오는 마감</source>
        <translation>Upcoming deadlines</translation>
    </message>
    <message>
        <source>예정</source>
        <translation>Upcoming</translation>
    </message>
    <message>
        <source>마감 미확인</source>
        <translation>Undated</translation>
    </message>
    <message>
        <source>마감 지난 과제</source>
        <translation>Past-due assignments</translation>
    </message>
    <message>
        <source>지난 마감</source>
        <translation>Past due</translation>
    </message>
    <message>
        <source>완료·숨긴 과제</source>
        <translation>Done or hidden assignments</translation>
    </message>
    <message>
        <source>완료·숨김</source>
        <translation>Done·hidden</translation>
    </message>
    <message>
        <source>일정순</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>과목순</source>
        <translation>Course</translation>
    </message>
    <message>
        <source>카테고리순</source>
        <translation>Category</translation>
    </message>
    <message>
        <source>이름순</source>
        <translation>Name</translation>
    </message>
</context>
<context>
    <name>Failure</name>
    <message>
        <source>BrevaneLearn 로그인이 필요해요</source>
        <translation>BrevaneLearn sign-in needed</translation>
    </message>
    <message>
        <source>응답 시간이 초과됐어요. 기존 일정은 유지됩니다.</source>
        <translation>The site took too long to respond. Saved deadlines are kept.</translation>
    </message>
    <message>
        <source>과목 정보가 일치하지 않아요. 기존 일정은 유지됩니다.</source>
        <translation>The course details don&apos;t match. Saved deadlines are kept.</translation>
    </message>
    <message>
        <source>페이지 형식을 읽지 못했어요. 기존 일정은 유지됩니다.</source>
        <translation>Couldn&apos;t read the page&apos;s layout. Saved deadlines are kept.</translation>
    </message>
    <message>
        <source>페이지를 처리하던 웹 엔진이 멈췄습니다</source>
        <translation>The web engine handling the page stopped</translation>
    </message>
    <message>
        <source>페이지를 읽는 스크립트가 실패했습니다</source>
        <translation>The script reading the page failed</translation>
    </message>
    <message>
        <source>사이트가 로그인 페이지로 보냈습니다</source>
        <translation>The site sent us to its sign-in page</translation>
    </message>
    <message>
        <source>페이지를 여는 데 너무 오래 걸렸습니다</source>
        <translation>The page took too long to open</translation>
    </message>
    <message>
        <source>다른 과목의 페이지가 열렸습니다</source>
        <translation>Another course&apos;s page opened</translation>
    </message>
    <message>
        <source>페이지 형식을 알아볼 수 없습니다</source>
        <translation>The page&apos;s layout isn&apos;t recognized</translation>
    </message>
</context>
<context>
    <name>LineActions</name>
    <message>
        <source>캘린더 열기</source>
        <translation>Open calendar</translation>
    </message>
    <message>
        <source>지금 새로고침</source>
        <translation>Refresh now</translation>
    </message>
    <message>
        <source>BrevaneLearn 로그인</source>
        <translation>Sign in to BrevaneLearn</translation>
    </message>
    <message>
        <source>Canvas 로그인</source>
        <translation>Sign in to Canvas</translation>
    </message>
    <message>
        <source>iPhone 캘린더 내보내기 (.ics)</source>
        <translation>Export for iPhone Calendar (.ics)</translation>
    </message>
    <message>
        <source>설정</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>색상 설정</source>
        <translation>Color settings</translation>
    </message>
    <message>
        <source>앱 종료</source>
        <translation>Quit</translation>
    </message>
</context>
<context>
    <name>LoadFailure</name>
    <message>
        <source>보안 연결에 실패했습니다</source>
        <translation>The secure connection failed</translation>
    </message>
    <message>
        <source>사이트 주소를 찾을 수 없습니다</source>
        <translation>The site&apos;s address can&apos;t be found</translation>
    </message>
    <message>
        <source>인터넷에 연결되어 있지 않습니다</source>
        <translation>Not connected to the internet</translation>
    </message>
    <message>
        <source>사이트가 연결을 거부했습니다</source>
        <translation>The site refused the connection</translation>
    </message>
    <message>
        <source>사이트가 응답하지 않습니다</source>
        <translation>The site isn&apos;t responding</translation>
    </message>
    <message>
        <source>사이트와의 연결이 끊어졌습니다</source>
        <translation>The connection to the site was lost</translation>
    </message>
    <message>
        <source>사이트에 연결할 수 없습니다</source>
        <translation>Can&apos;t connect to the site</translation>
    </message>
    <message>
        <source>이 포트로는 연결할 수 없습니다</source>
        <translation>Connections to this port aren&apos;t allowed</translation>
    </message>
    <message>
        <source>사이트가 페이지를 너무 여러 번 옮겼습니다</source>
        <translation>The site redirected too many times</translation>
    </message>
    <message>
        <source>페이지를 불러오지 못했습니다</source>
        <translation>The page couldn&apos;t be loaded</translation>
    </message>
    <message>
        <source>%1 (오류 %2)</source>
        <translation>%1 (error %2)</translation>
    </message>
    <message>
        <source>사이트가 오류 페이지로 답했습니다 (HTTP %1)</source>
        <translation>The site answered with an error page (HTTP %1)</translation>
    </message>
    <message numerus="yes">
        <source>사이트가 %n초 동안 응답하지 않았습니다</source>
        <translation>
            <numerusform>The site didn&apos;t respond for %n second</numerusform>
            <numerusform>The site didn&apos;t respond for %n seconds</numerusform>
        </translation>
    </message>
    <message>
        <source>잘못된 주소입니다</source>
        <translation>Invalid address</translation>
    </message>
</context>
<context>
    <name>LoginFlow</name>
    <message>
        <source>로그인 페이지를 열지 못했습니다: %1 · 페이지 다시 열기를 눌러 주세요.</source>
        <translation>Couldn&apos;t open the sign-in page: %1 · Press ‘Reload page’.</translation>
    </message>
    <message>
        <source>로그인 페이지가 중단되었습니다. 페이지 다시 열기를 눌러 주세요.</source>
        <translation>The sign-in page stopped. Press ‘Reload page’.</translation>
    </message>
    <message>
        <source>학교 로그인 페이지를 여는 중…</source>
        <translation>Opening the school&apos;s sign-in page…</translation>
    </message>
    <message>
        <source>로그인 완료 · 일정을 업데이트합니다.</source>
        <translation>Signed in · updating deadlines.</translation>
    </message>
    <message>
        <source>Canvas 로그인 완료</source>
        <translation>Signed in to Canvas</translation>
    </message>
    <message>
        <source>BrevaneLearn 로그인 완료</source>
        <translation>Signed in to BrevaneLearn</translation>
    </message>
</context>
<context>
    <name>ServerCheck</name>
    <message>
        <source>연결됐어요 · 할 일을 담는 캘린더가 없어요</source>
        <translation>Connected · no calendar holds tasks</translation>
    </message>
    <message numerus="yes">
        <source>연결됐어요 · 할 일 캘린더 %n개</source>
        <translation>
            <numerusform>Connected · %n task calendar</numerusform>
            <numerusform>Connected · %n task calendars</numerusform>
        </translation>
    </message>
    <message>
        <source>Vantory 캘린더를 만들었어요</source>
        <translation>Created the Vantory calendar</translation>
    </message>
</context>
<context>
    <name>BrevaneConnection</name>
    <message>
        <source>Canvas 동기화 오류 · 기존 일정 유지</source>
        <translation>Canvas sync error · keeping saved deadlines</translation>
    </message>
    <message>
        <source>동기화 오류 · 기존 일정 유지</source>
        <translation>Sync error · keeping saved deadlines</translation>
    </message>
    <message>
        <source>동기화 중이라 확인할 수 없어요. 잠시 후 다시 눌러 주세요.</source>
        <translation>Can&apos;t check while syncing. Press again in a moment.</translation>
    </message>
    <message>
        <source>연결 실패 · %1</source>
        <translation>Connection failed · %1</translation>
    </message>
    <message>
        <source>%1 (입력한 주소에서 이동)</source>
        <translation>%1 (redirected from the address you entered)</translation>
    </message>
    <message>
        <source>연결됨 · 보안 연결 (https) · %1</source>
        <translation>Connected · secure connection (https) · %1</translation>
    </message>
    <message>
        <source>연결됨 · 보안되지 않은 연결 (%1) · %2</source>
        <translation>Connected · insecure connection (%1) · %2</translation>
    </message>
</context>
<context>
    <name>vantory::CalendarServerGroup</name>
    <message>
        <source>캘린더 서버</source>
        <translation>Calendar server</translation>
    </message>
    <message>
        <source>서버 주소</source>
        <translation>Server address</translation>
    </message>
    <message>
        <source>사용자 이름</source>
        <translation>User name</translation>
    </message>
    <message>
        <source>연결 확인</source>
        <translation>Check connection</translation>
    </message>
    <message>
        <source>비밀번호</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>할 일을 담을 캘린더를 고르세요.</source>
        <translation>Choose the calendar that will hold the tasks.</translation>
    </message>
    <message>
        <source>Vantory 캘린더 만들기</source>
        <translation>Create Vantory calendar</translation>
    </message>
    <message>
        <source>알림도 함께 보내기</source>
        <translation>Send reminders too</translation>
    </message>
    <message>
        <source>동기화 끄기</source>
        <translation>Turn off sync</translation>
    </message>
    <message>
        <source>할 일 앱과 다른 컴퓨터가 쓰는 CalDAV 서버에 마감을 할 일로 보내고, 완료 표시를 양쪽으로 맞춥니다. 비밀번호는 데스크톱의 비밀 저장소에만 보관합니다.</source>
        <translation>Sends deadlines as tasks to the CalDAV server your to-do apps and other computers use, and keeps done marks the same on both sides. The password is kept only in the desktop&apos;s keyring.</translation>
    </message>
    <message>
        <source>확인 중…</source>
        <translation>Checking…</translation>
    </message>
    <message>
        <source>만드는 중…</source>
        <translation>Creating…</translation>
    </message>
    <message>
        <source>확인할 주소를 입력해 주세요</source>
        <translation>Enter an address to check</translation>
    </message>
    <message>
        <source>이 캘린더의 주소는 쓸 수 없습니다: %1</source>
        <translation>This calendar&apos;s address can&apos;t be used: %1</translation>
    </message>
    <message>
        <source>%1 캘린더를 사용합니다</source>
        <translation>Using the %1 calendar</translation>
    </message>
    <message>
        <source>캘린더 서버 동기화를 껐습니다. 서버에 있는 할 일은 지우지 않습니다.</source>
        <translation>Calendar server sync is off. Tasks on the server are not deleted.</translation>
    </message>
</context>
<context>
    <name>vantory::CategoryColorTab</name>
    <message>
        <source>설정할 과목</source>
        <translation>Course</translation>
    </message>
    <message>
        <source>선택한 과목에만 적용합니다. 따로 지정하지 않으면 모든 과목의 설정을 따릅니다.</source>
        <translation>Applies to the chosen course only. A category not set here follows the setting for all courses.</translation>
    </message>
    <message>
        <source>여기서 변경한 카테고리는 모든 과목에 같은 색상을 적용합니다. 기존 과목별 지정도 바뀝니다.</source>
        <translation>A category changed here takes the same color in every course, replacing its per-course settings.</translation>
    </message>
    <message>
        <source>일정을 업데이트하면 카테고리가 나타납니다.</source>
        <translation>Categories appear once deadlines are updated.</translation>
    </message>
    <message>
        <source>모든 과목</source>
        <translation>All courses</translation>
    </message>
    <message>
        <source>%1 색상 적용 방식</source>
        <translation>%1: color source</translation>
    </message>
    <message>
        <source>%1 선택한 색상</source>
        <translation>%1: chosen color</translation>
    </message>
    <message>
        <source>선택한 색상</source>
        <translation>Chosen color</translation>
    </message>
    <message>
        <source>공통 설정 사용</source>
        <translation>Use common setting</translation>
    </message>
    <message>
        <source>%1 공통 설정 사용</source>
        <translation>%1: use common setting</translation>
    </message>
    <message>
        <source>여러 카테고리의 색상 한 번에 변경</source>
        <translation>Change several categories at once</translation>
    </message>
    <message>
        <source>색상</source>
        <translation>Color</translation>
    </message>
    <message>
        <source>남은 시간에 따라 변경</source>
        <translation>By time left</translation>
    </message>
    <message>
        <source>캘린더 과목색과 동일</source>
        <translation>Same as calendar course color</translation>
    </message>
    <message>
        <source>메뉴바 과목색과 동일</source>
        <translation>Same as top bar course color</translation>
    </message>
    <message>
        <source>직접 선택</source>
        <translation>Custom</translation>
    </message>
    <message>
        <source>한 번에 적용할 색상</source>
        <translation>Color to apply to all</translation>
    </message>
    <message>
        <source>위에 표시된 모든 카테고리의 색상을 바꿉니다.</source>
        <translation>Changes the color of every category listed above.</translation>
    </message>
    <message numerus="yes">
        <source>%n개 카테고리에 적용</source>
        <translation>
            <numerusform>Apply to %n category</numerusform>
            <numerusform>Apply to %n categories</numerusform>
        </translation>
    </message>
    <message>
        <source>메뉴바에서 숨길 카테고리</source>
        <translation>Categories hidden from the top bar</translation>
    </message>
    <message>
        <source>표시 여부는 모든 과목에 공통으로 적용합니다.</source>
        <translation>Hiding applies to all courses alike.</translation>
    </message>
</context>
<context>
    <name>vantory::ColorModeMenu</name>
    <message>
        <source>캘린더와 동일</source>
        <translation>Same as calendar</translation>
    </message>
    <message>
        <source>남은 시간 기준</source>
        <translation>By time left</translation>
    </message>
    <message>
        <source>직접 선택</source>
        <translation>Custom</translation>
    </message>
    <message>
        <source>캘린더 과목색</source>
        <translation>Calendar color</translation>
    </message>
    <message>
        <source>메뉴바 과목색</source>
        <translation>Top bar color</translation>
    </message>
    <message>
        <source>색상 적용 방식</source>
        <translation>Color source</translation>
    </message>
</context>
<context>
    <name>vantory::ConnectionSettingsTab</name>
    <message numerus="yes">
        <source>%n분</source>
        <translation>
            <numerusform>%n minute</numerusform>
            <numerusform>%n minutes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n시간</source>
        <translation>
            <numerusform>%n hour</numerusform>
            <numerusform>%n hours</numerusform>
        </translation>
    </message>
    <message>
        <source>BrevaneLearn 로그인…</source>
        <translation>Sign in to BrevaneLearn…</translation>
    </message>
    <message>
        <source>지금 새로고침</source>
        <translation>Refresh now</translation>
    </message>
    <message>
        <source>자동 동기화</source>
        <translation>Sync every</translation>
    </message>
    <message>
        <source>동기화</source>
        <translation>Sync</translation>
    </message>
    <message>
        <source>과목</source>
        <translation>Courses</translation>
    </message>
    <message>
        <source>홈페이지의 모든 과목을 자동으로 가져옵니다. 새 과목은 기본으로 포함하고 캘린더 색상을 무작위로 배정합니다.</source>
        <translation>Every course on the home page is fetched automatically. New courses are included by default and get a random calendar color.</translation>
    </message>
    <message>
        <source>표시 이름</source>
        <translation>Display name</translation>
    </message>
    <message>
        <source>%1 표시 이름</source>
        <translation>%1: display name</translation>
    </message>
    <message>
        <source>Canvas 자동 동기화</source>
        <translation>Sync Canvas automatically</translation>
    </message>
    <message>
        <source>Canvas 로그인…</source>
        <translation>Sign in to Canvas…</translation>
    </message>
    <message>
        <source>과제 마감과 제출 상태를 함께 가져옵니다. Canvas에서 제출한 과제는 자동으로 완료 표시합니다.</source>
        <translation>Fetches deadlines together with submissions. Assignments submitted on Canvas are marked done automatically.</translation>
    </message>
    <message>
        <source>iPhone 캘린더 내보내기 (.ics)…</source>
        <translation>Export for iPhone Calendar (.ics)…</translation>
    </message>
    <message>
        <source>로그인 시 Vantory 자동 실행</source>
        <translation>Start Vantory at login</translation>
    </message>
    <message>
        <source>자동 실행은 앱을 고정된 위치에 둔 뒤 켜 주세요. 앱이 실행 중일 때 매시간 동기화하고, 잠자기에서 돌아오면 밀린 조회를 한 번 실행합니다.</source>
        <translation>Turn this on once the app is in its permanent place. While it runs, the app syncs every hour, and once after the computer wakes from sleep.</translation>
    </message>
</context>
<context>
    <name>vantory::CourseColorTab</name>
    <message>
        <source>새 과목의 캘린더 색상은 무작위로 배정됩니다.</source>
        <translation>New courses get a random calendar color.</translation>
    </message>
    <message>
        <source>모든 과목에 같은 색상 적용</source>
        <translation>Same colors for all courses</translation>
    </message>
    <message>
        <source>새로 가져오는 과목에도 적용합니다. 끄면 기존 과목별 색상으로 돌아갑니다.</source>
        <translation>Also applies to courses fetched later. Turning it off brings back each course&apos;s own colors.</translation>
    </message>
    <message>
        <source>공통 캘린더 색상</source>
        <translation>Calendar color</translation>
    </message>
    <message>
        <source>공통 메뉴바 색상</source>
        <translation>Top bar color</translation>
    </message>
    <message>
        <source>월간 캘린더</source>
        <translation>Month calendar</translation>
    </message>
    <message>
        <source>메뉴바 과목 번호</source>
        <translation>Top bar number</translation>
    </message>
    <message>
        <source>과목 번호 색상</source>
        <translation>Number color</translation>
    </message>
    <message>
        <source>%1 월간 캘린더</source>
        <translation>%1: month calendar</translation>
    </message>
    <message>
        <source>%1 메뉴바 과목 번호</source>
        <translation>%1: top bar course number</translation>
    </message>
    <message>
        <source>%1 과목 번호 색상</source>
        <translation>%1: course number color</translation>
    </message>
</context>
<context>
    <name>vantory::Dashboard</name>
    <message>
        <source>과목</source>
        <translation>Courses</translation>
    </message>
    <message>
        <source>로그인 ▾</source>
        <translation>Sign in ▾</translation>
    </message>
    <message>
        <source>로그인</source>
        <translation>Sign in</translation>
    </message>
    <message>
        <source>BrevaneLearn 로그인</source>
        <translation>Sign in to BrevaneLearn</translation>
    </message>
    <message>
        <source>Canvas 로그인</source>
        <translation>Sign in to Canvas</translation>
    </message>
    <message>
        <source>색상 설정</source>
        <translation>Color settings</translation>
    </message>
    <message>
        <source>설정</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>더 보기</source>
        <translation>More</translation>
    </message>
    <message>
        <source>iPhone 캘린더 내보내기 (.ics)</source>
        <translation>Export for iPhone Calendar (.ics)</translation>
    </message>
    <message>
        <source>캘린더 열기</source>
        <translation>Open calendar</translation>
    </message>
    <message>
        <source>앱 종료</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>BrevaneLearn을 연결해 주세요</source>
        <translation>Connect BrevaneLearn</translation>
    </message>
    <message>
        <source>Canvas를 연결해 주세요</source>
        <translation>Connect Canvas</translation>
    </message>
    <message>
        <source>로그인하면 과제 마감을 매시간 가져옵니다.</source>
        <translation>Once you sign in, deadlines are fetched every hour.</translation>
    </message>
    <message>
        <source>설정에서 학교 사이트의 주소를 입력하면 과제 마감을 가져옵니다.</source>
        <translation>Enter your school&apos;s site addresses in the settings to fetch deadlines.</translation>
    </message>
    <message>
        <source>연결</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>%1 연결</source>
        <translation>Connect %1</translation>
    </message>
    <message>
        <source>학교 사이트 설정</source>
        <translation>School site settings</translation>
    </message>
    <message>
        <source>동기화 중</source>
        <translation>Syncing</translation>
    </message>
    <message>
        <source>⟳ 지금 새로고침</source>
        <translation>⟳ Refresh now</translation>
    </message>
    <message>
        <source>지금 새로고침</source>
        <translation>Refresh now</translation>
    </message>
    <message>
        <source>날짜 선택 해제</source>
        <translation>Clear date</translation>
    </message>
    <message>
        <source>마감일 있음 → 공개일만 있음 → 날짜 미확인 순으로 묶고, 각 묶음 안에서 선택한 기준으로 정렬합니다.</source>
        <translation>Grouped as with a due date → with only an availability date → undated, and sorted by the chosen order within each group.</translation>
    </message>
    <message>
        <source>정렬</source>
        <translation>Sort</translation>
    </message>
    <message>
        <source>정렬 기준. %1</source>
        <translation>Sort order. %1</translation>
    </message>
    <message>
        <source>M월 d일 EEEE</source>
        <translation>EEEE, MMMM d</translation>
    </message>
    <message>
        <source>표시할 과제가 없어요</source>
        <translation>No assignments to show</translation>
    </message>
    <message>
        <source>일정을 연결하면 여기에 표시돼요</source>
        <translation>Connect your sites and deadlines show here</translation>
    </message>
</context>
<context>
    <name>vantory::DeadlineList</name>
    <message>
        <source>완료됨</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>메뉴바에서 숨김</source>
        <translation>Hidden from the top bar</translation>
    </message>
    <message>
        <source>수정됨</source>
        <translation>Edited</translation>
    </message>
    <message>
        <source>더블클릭하여 과제 페이지 열기</source>
        <translation>Double-click to open the assignment page</translation>
    </message>
    <message>
        <source>과제 정보</source>
        <translation>Assignment details</translation>
    </message>
    <message>
        <source>더블클릭하여 과제 페이지 열기. Space 완료, Enter 열기, 메뉴 키 또는 Shift+F10</source>
        <translation>Double-click to open the assignment page. Space: done, Enter: open, Menu key or Shift+F10: menu</translation>
    </message>
    <message>
        <source>과제 정보. Space 완료, 메뉴 키 또는 Shift+F10</source>
        <translation>Assignment details. Space: done, Menu key or Shift+F10: menu</translation>
    </message>
    <message>
        <source>날짜 확인 필요 · 이전 마감 유지</source>
        <translation>Check the date · keeping the earlier deadline</translation>
    </message>
    <message>
        <source>과제 목록</source>
        <translation>Assignments</translation>
    </message>
    <message>
        <source>과제 메뉴</source>
        <translation>Assignment menu</translation>
    </message>
    <message>
        <source>과제 페이지 열기</source>
        <translation>Open assignment page</translation>
    </message>
    <message>
        <source>마감 수정·상세 보기</source>
        <translation>Edit deadline · details</translation>
    </message>
    <message>
        <source>숨김 해제</source>
        <translation>Unhide</translation>
    </message>
    <message>
        <source>메뉴바에서 숨기기</source>
        <translation>Hide from the top bar</translation>
    </message>
    <message>
        <source>수동 완료 해제</source>
        <translation>Unmark as done</translation>
    </message>
</context>
<context>
    <name>vantory::DesktopNotifications</name>
    <message>
        <source>과제 페이지 열기</source>
        <translation>Open assignment page</translation>
    </message>
    <message>
        <source>완료 처리</source>
        <translation>Mark as done</translation>
    </message>
</context>
<context>
    <name>vantory::DisplaySettingsTab</name>
    <message>
        <source>첫 번째 항목</source>
        <translation>Item 1</translation>
    </message>
    <message>
        <source>두 번째 항목</source>
        <translation>Item 2</translation>
    </message>
    <message>
        <source>세 번째 항목</source>
        <translation>Item 3</translation>
    </message>
    <message>
        <source>%1번째 항목</source>
        <translation>Item %1</translation>
    </message>
    <message>
        <source>언어</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>자동</source>
        <translation>Automatic</translation>
    </message>
    <message>
        <source>메뉴바에 표시할 과제</source>
        <translation>Deadlines in the top bar</translation>
    </message>
    <message>
        <source>초</source>
        <translation> s</translation>
    </message>
    <message>
        <source>이 표시 항목 삭제</source>
        <translation>Remove this item</translation>
    </message>
    <message>
        <source>%1 삭제</source>
        <translation>Remove %1</translation>
    </message>
    <message>
        <source>표시 항목 추가</source>
        <translation>Add item</translation>
    </message>
    <message>
        <source>표시 항목을 추가하면 마감이 가까운 과제부터 보여 드립니다.</source>
        <translation>Each item shows one more deadline, nearest first, for its seconds.</translation>
    </message>
    <message numerus="yes">
        <source>최대 %n개 표시</source>
        <translation>
            <numerusform>Up to %n shown</numerusform>
            <numerusform>Up to %n shown</numerusform>
        </translation>
    </message>
    <message>
        <source>메뉴바 크기와 정렬</source>
        <translation>Top bar size and alignment</translation>
    </message>
    <message>
        <source>전환 효과</source>
        <translation>Transition</translation>
    </message>
    <message>
        <source>없음</source>
        <translation>None</translation>
    </message>
    <message>
        <source>페이드</source>
        <translation>Fade</translation>
    </message>
    <message>
        <source>위로 슬라이드</source>
        <translation>Slide up</translation>
    </message>
    <message>
        <source>아래로 슬라이드</source>
        <translation>Slide down</translation>
    </message>
    <message>
        <source>왼쪽으로 슬라이드</source>
        <translation>Slide left</translation>
    </message>
    <message>
        <source>줌</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>%1초</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>전환 시간</source>
        <translation>Transition time</translation>
    </message>
    <message>
        <source>데스크톱의 애니메이션 효과가 꺼져 있으면 전환 효과를 생략합니다.</source>
        <translation>There is no transition while the desktop&apos;s animations are off.</translation>
    </message>
    <message>
        <source>정렬</source>
        <translation>Alignment</translation>
    </message>
    <message>
        <source>왼쪽</source>
        <translation>Left</translation>
    </message>
    <message>
        <source>가운데</source>
        <translation>Center</translation>
    </message>
    <message>
        <source>오른쪽</source>
        <translation>Right</translation>
    </message>
    <message>
        <source>너비</source>
        <translation>Width</translation>
    </message>
    <message>
        <source>가장 긴 문구에 맞춤</source>
        <translation>Fit longest text</translation>
    </message>
    <message>
        <source>직접 설정</source>
        <translation>Custom</translation>
    </message>
    <message>
        <source>메뉴바 너비</source>
        <translation>Top bar width</translation>
    </message>
    <message>
        <source>자동 맞춤은 표시할 문구 중 가장 긴 문구와 시간 자릿수에 필요한 폭만 확보합니다. 순환 중에는 같은 너비를 유지하고, 대상 과제나 표시 설정이 바뀔 때만 다시 계산합니다. 설정한 너비보다 긴 문구는 가운데를 줄여 표시합니다.</source>
        <translation>Fitting takes only the width the longest text and the time&apos;s digits need. The width stays the same while the line rotates and is measured again only when the deadlines shown or the display settings change. Text longer than a set width is shortened in the middle.</translation>
    </message>
    <message>
        <source>좌우 여백</source>
        <translation>Side padding</translation>
    </message>
    <message>
        <source>글자 크기</source>
        <translation>Font size</translation>
    </message>
    <message>
        <source>과제 카드를 더블클릭하면 과제 페이지 열기</source>
        <translation>Double-click an assignment to open its page</translation>
    </message>
    <message>
        <source>메뉴바에 진행률(%) 표시</source>
        <translation>Show progress (%) in the top bar</translation>
    </message>
    <message>
        <source>사이트에서 제공하는 점수를 표시합니다. 퍼센트가 없는 과제는 생략합니다.</source>
        <translation>Shows the score the site gives. Assignments without a percentage show none.</translation>
    </message>
    <message>
        <source>BrevaneLearn 100% · Canvas 제출 완료 과제는 자동으로 완료 표시합니다.</source>
        <translation>Assignments at 100% on BrevaneLearn or submitted on Canvas are marked done automatically.</translation>
    </message>
    <message>
        <source>캘린더에 공개 일정도 표시</source>
        <translation>Show availability dates in the calendar</translation>
    </message>
</context>
<context>
    <name>vantory::EditAssessment</name>
    <message>
        <source>마감 수정</source>
        <translation>Edit deadline</translation>
    </message>
    <message>
        <source>사이트 마감: %1</source>
        <translation>Due on the site: %1</translation>
    </message>
    <message>
        <source>공개: %1</source>
        <translation>Available: %1</translation>
    </message>
    <message>
        <source>마감 직접 설정</source>
        <translation>Set the deadline myself</translation>
    </message>
    <message>
        <source>마감</source>
        <translation>Due</translation>
    </message>
    <message>
        <source>시간대: %1. 직접 설정한 마감은 동기화가 덮어쓰지 않습니다.</source>
        <translation>Time zone: %1. A sync never overwrites a deadline you set.</translation>
    </message>
    <message>
        <source>점수 인정 기간</source>
        <translation>Credit periods</translation>
    </message>
    <message>
        <source>과제 열기</source>
        <translation>Open assignment</translation>
    </message>
    <message>
        <source>취소</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>저장</source>
        <translation>Save</translation>
    </message>
</context>
<context>
    <name>vantory::ExportScreen</name>
    <message>
        <source>없음</source>
        <translation>None</translation>
    </message>
    <message>
        <source>30분 전</source>
        <translation>30 minutes before</translation>
    </message>
    <message>
        <source>1시간 전</source>
        <translation>1 hour before</translation>
    </message>
    <message>
        <source>1일 전</source>
        <translation>1 day before</translation>
    </message>
    <message>
        <source>iPhone 캘린더 내보내기</source>
        <translation>Export for iPhone Calendar</translation>
    </message>
    <message>
        <source>과목</source>
        <translation>Course</translation>
    </message>
    <message>
        <source>앞으로의 마감만</source>
        <translation>Upcoming deadlines only</translation>
    </message>
    <message>
        <source>완료한 과제도 포함</source>
        <translation>Include done assignments</translation>
    </message>
    <message>
        <source>알림</source>
        <translation>Alert</translation>
    </message>
    <message>
        <source>파일을 GNOME 캘린더나 Thunderbird 같은 캘린더 앱으로 가져오세요. 온라인 계정(Google, Nextcloud 등)의 캘린더에 넣으면 휴대폰에도 표시됩니다. 내보낸 파일은 자동 갱신되지 않습니다. 과목별 색상은 가져온 캘린더에서 지정하세요.</source>
        <translation>Import the file into a calendar app such as GNOME Calendar or Thunderbird. In the calendar of an online account (Google, Nextcloud and others) it shows on your phone too. The exported file does not update itself. Set course colors in the calendar you import it into.</translation>
    </message>
    <message>
        <source>.ics 저장…</source>
        <translation>Save .ics…</translation>
    </message>
    <message numerus="yes">
        <source>%n개 일정 저장 완료</source>
        <translation>
            <numerusform>Saved %n event</numerusform>
            <numerusform>Saved %n events</numerusform>
        </translation>
    </message>
    <message>
        <source>저장 실패: %1</source>
        <translation>Couldn&apos;t save: %1</translation>
    </message>
    <message>
        <source>캘린더 내보내기</source>
        <translation>Export calendar</translation>
    </message>
    <message>
        <source>모든 활성 과목</source>
        <translation>All active courses</translation>
    </message>
    <message numerus="yes">
        <source>%n개 마감을 .ics 파일로 저장합니다. 마감 시각에 1분 일정으로 표시됩니다.</source>
        <translation>
            <numerusform>Saves %n deadline to an .ics file, as a 1-minute event at its due time.</numerusform>
            <numerusform>Saves %n deadlines to an .ics file, each as a 1-minute event at its due time.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>vantory::GnomeTopBarSwitch</name>
    <message>
        <source>GNOME 상단 바에 표시</source>
        <translation>Show in GNOME&apos;s top bar</translation>
    </message>
    <message>
        <source>GNOME이 아직 이 확장을 불러오지 않았습니다. 새로 설치한 확장은 로그아웃한 뒤 다시 로그인하면 켤 수 있습니다.</source>
        <translation>GNOME hasn&apos;t loaded this extension yet. A newly installed extension can be turned on after you log out and back in.</translation>
    </message>
    <message>
        <source>GNOME 상단 바에 일정이 표시되고, 화면 위쪽 막대와 트레이 아이콘은 숨겨집니다.</source>
        <translation>Deadlines show in GNOME&apos;s top bar; the strip at the top of the screen and the tray icon are hidden.</translation>
    </message>
    <message>
        <source>확장을 켜지 못했습니다: %1</source>
        <translation>Couldn&apos;t turn on the extension: %1</translation>
    </message>
    <message>
        <source>이 GNOME 버전에서는 확장을 쓸 수 없습니다. Vantory를 업데이트해 주세요.</source>
        <translation>The extension doesn&apos;t work with this GNOME version. Please update Vantory.</translation>
    </message>
    <message>
        <source>켜면 화면 위쪽 막대 대신 GNOME 상단 바에 일정을 표시합니다.</source>
        <translation>When on, deadlines show in GNOME&apos;s top bar instead of the strip at the top of the screen.</translation>
    </message>
    <message>
        <source>GNOME Shell에 연결하지 못했습니다. 확장 앱에서 Vantory를 켜 주세요.</source>
        <translation>Couldn&apos;t reach GNOME Shell. Turn Vantory on in the Extensions app.</translation>
    </message>
</context>
<context>
    <name>vantory::LoadErrorPanel</name>
    <message>
        <source>페이지 오류</source>
        <translation>Page error</translation>
    </message>
    <message>
        <source>페이지를 열지 못했습니다</source>
        <translation>Couldn&apos;t open the page</translation>
    </message>
    <message>
        <source>원인</source>
        <translation>Reason</translation>
    </message>
    <message>
        <source>설정의 ‘학교 사이트’에서 주소가 맞는지 확인하고, 인터넷 연결을 확인한 뒤 다시 시도해 주세요.</source>
        <translation>Check the address under ‘School sites’ in the settings and your internet connection, then try again.</translation>
    </message>
    <message>
        <source>다시 시도</source>
        <translation>Try again</translation>
    </message>
    <message>
        <source>학교 사이트 설정 열기</source>
        <translation>Open school site settings</translation>
    </message>
    <message>
        <source>주소: %1</source>
        <translation>Address: %1</translation>
    </message>
    <message>
        <source>(없음)</source>
        <translation>(none)</translation>
    </message>
</context>
<context>
    <name>vantory::LoginWindow</name>
    <message>
        <source>Vantory · %1 로그인</source>
        <translation>Vantory · %1 sign-in</translation>
    </message>
    <message>
        <source>%1 연결</source>
        <translation>Connect %1</translation>
    </message>
    <message>
        <source>학교 계정으로 로그인한 뒤 ‘일정 업데이트’를 누르세요. 비밀번호는 앱이 수집하지 않습니다.</source>
        <translation>Sign in with your school account, then press ‘Update deadlines’. The app never collects your password.</translation>
    </message>
    <message>
        <source>페이지 주소</source>
        <translation>Page address</translation>
    </message>
    <message>
        <source>페이지 다시 열기</source>
        <translation>Reload page</translation>
    </message>
    <message>
        <source>일정 업데이트</source>
        <translation>Update deadlines</translation>
    </message>
    <message>
        <source>닫기</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>상태</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>메시지</source>
        <translation>Message</translation>
    </message>
    <message>
        <source>로그인 페이지</source>
        <translation>Sign-in page</translation>
    </message>
    <message>
        <source>불러오는 중 · %1</source>
        <translation>Loading · %1</translation>
    </message>
    <message>
        <source>불러오기 중단 · %1</source>
        <translation>Loading stopped · %1</translation>
    </message>
    <message>
        <source>연결 실패 · %1</source>
        <translation>Connection failed · %1</translation>
    </message>
    <message>
        <source>보안 연결 (https) · %1</source>
        <translation>Secure connection (https) · %1</translation>
    </message>
    <message>
        <source>보안되지 않은 연결 (%1) · %2</source>
        <translation>Insecure connection (%1) · %2</translation>
    </message>
</context>
<context>
    <name>vantory::MonthCalendar</name>
    <message>
        <source>오늘</source>
        <translation>Today</translation>
    </message>
    <message>
        <source>선택됨</source>
        <translation>selected</translation>
    </message>
    <message numerus="yes">
        <source>마감 %n개</source>
        <translation>
            <numerusform>%n deadline</numerusform>
            <numerusform>%n deadlines</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>공개 %n개</source>
        <translation>
            <numerusform>%n becomes available</numerusform>
            <numerusform>%n become available</numerusform>
        </translation>
    </message>
    <message>
        <source>이전 달</source>
        <translation>Previous month</translation>
    </message>
    <message>
        <source>다음 달</source>
        <translation>Next month</translation>
    </message>
    <message>
        <source>월</source>
        <translation>Mon</translation>
    </message>
    <message>
        <source>화</source>
        <translation>Tue</translation>
    </message>
    <message>
        <source>수</source>
        <translation>Wed</translation>
    </message>
    <message>
        <source>목</source>
        <translation>Thu</translation>
    </message>
    <message>
        <source>금</source>
        <translation>Fri</translation>
    </message>
    <message>
        <source>토</source>
        <translation>Sat</translation>
    </message>
    <message>
        <source>일</source>
        <translation>Sun</translation>
    </message>
    <message>
        <source>● 마감&amp;nbsp;&amp;nbsp;○ 공개</source>
        <translation>● Due&amp;nbsp;&amp;nbsp;○ Available</translation>
    </message>
    <message>
        <source>yyyy년 M월</source>
        <translation>MMMM yyyy</translation>
    </message>
    <message>
        <source>M월 d일</source>
        <translation>MMMM d</translation>
    </message>
</context>
<context>
    <name>vantory::ReminderSettingsTab</name>
    <message numerus="yes">
        <source>%n일 전</source>
        <translation>
            <numerusform>%n day before</numerusform>
            <numerusform>%n days before</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n시간 전</source>
        <translation>
            <numerusform>%n hour before</numerusform>
            <numerusform>%n hours before</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n분 전</source>
        <translation>
            <numerusform>%n minute before</numerusform>
            <numerusform>%n minutes before</numerusform>
        </translation>
    </message>
    <message>
        <source>마감 알림</source>
        <translation>Deadline reminders</translation>
    </message>
    <message>
        <source>선택한 시점에 데스크톱 알림으로 마감을 알려 드립니다. 알림에서 과제 페이지를 열거나 바로 완료 처리할 수 있습니다.</source>
        <translation>A desktop notification reminds you of a deadline at the times you choose. From the notification you can open the assignment page or mark it done.</translation>
    </message>
    <message>
        <source>마감 %1 알림</source>
        <translation>Remind %1 the deadline</translation>
    </message>
    <message>
        <source>완료했거나 숨긴 과제와 메뉴바에서 제외한 카테고리는 알리지 않습니다. 앱이 꺼져 있는 동안 지난 알림은 다음 실행 때 가장 가까운 것 하나만 남은 시간과 함께 보여 드립니다. 마감이 바뀌면 알림을 다시 보냅니다.</source>
        <translation>Done or hidden assignments and categories hidden from the top bar are not reminded. Of the reminders missed while the app was off, only the nearest shows at the next start, with the time left. A changed deadline is reminded again.</translation>
    </message>
</context>
<context>
    <name>vantory::SchoolSitesGroup</name>
    <message>
        <source>BrevaneLearn 주소</source>
        <translation>BrevaneLearn</translation>
    </message>
    <message>
        <source>Canvas 주소</source>
        <translation>Canvas</translation>
    </message>
    <message>
        <source>학교 사이트</source>
        <translation>School sites</translation>
    </message>
    <message>
        <source>확인할 주소를 입력해 주세요</source>
        <translation>Enter an address to check</translation>
    </message>
    <message>
        <source>%1 연결 확인</source>
        <translation>Check connection (%1)</translation>
    </message>
    <message>
        <source>확인 중…</source>
        <translation>Checking…</translation>
    </message>
    <message>
        <source>연결 확인</source>
        <translation>Check connection</translation>
    </message>
    <message>
        <source>학교에서 쓰는 사이트의 주소를 입력하세요. 비워 둔 사이트는 동기화하지 않습니다.</source>
        <translation>Enter the addresses of the sites your school uses. A site left empty is not synced.</translation>
    </message>
    <message>
        <source>학교 시간대</source>
        <translation>School time zone</translation>
    </message>
    <message>
        <source>마감과 달력은 이 시간대로 보여 줍니다. 직접 설정한 마감은 시각이 그대로 유지됩니다.</source>
        <translation>Deadlines and the calendar are shown in this time zone. Deadlines you set yourself keep their time.</translation>
    </message>
</context>
<context>
    <name>vantory::ScreenOpener</name>
    <message>
        <source>Vantory 설정</source>
        <translation>Vantory settings</translation>
    </message>
    <message>
        <source>Vantory 색상</source>
        <translation>Vantory colors</translation>
    </message>
    <message>
        <source>Vantory 캘린더</source>
        <translation>Vantory calendar</translation>
    </message>
    <message>
        <source>캘린더 내보내기</source>
        <translation>Export calendar</translation>
    </message>
</context>
<context>
    <name>vantory::SettingsScreen</name>
    <message>
        <source>과목 번호와 월간 캘린더의 색상을 설정합니다.</source>
        <translation>Sets the colors of course numbers and of the month calendar.</translation>
    </message>
    <message>
        <source>메뉴바의 카테고리 이름에 적용되는 색상입니다.</source>
        <translation>Colors of the category names in the top bar.</translation>
    </message>
    <message>
        <source>마감이 가까워지면 남은 시간의 색상이 바뀝니다.</source>
        <translation>The time left changes color as a deadline nears.</translation>
    </message>
    <message>
        <source>화면 모드</source>
        <translation>Appearance</translation>
    </message>
    <message>
        <source>시스템 설정</source>
        <translation>System</translation>
    </message>
    <message>
        <source>밝게</source>
        <translation>Light</translation>
    </message>
    <message>
        <source>어둡게</source>
        <translation>Dark</translation>
    </message>
    <message>
        <source>Vantory 색상</source>
        <translation>Vantory colors</translation>
    </message>
    <message>
        <source>Vantory 설정</source>
        <translation>Vantory settings</translation>
    </message>
    <message>
        <source>색상 설정…</source>
        <translation>Color settings…</translation>
    </message>
    <message>
        <source>과목</source>
        <translation>Courses</translation>
    </message>
    <message>
        <source>카테고리</source>
        <translation>Categories</translation>
    </message>
    <message>
        <source>남은 시간</source>
        <translation>Time left</translation>
    </message>
    <message>
        <source>표시 방식</source>
        <translation>Display</translation>
    </message>
    <message>
        <source>연결 및 과목</source>
        <translation>Connections and courses</translation>
    </message>
    <message>
        <source>알림</source>
        <translation>Reminders</translation>
    </message>
    <message>
        <source>설정 탭</source>
        <translation>Settings tabs</translation>
    </message>
    <message>
        <source>메뉴바 색상 예시 · 마감까지 10시간</source>
        <translation>Top bar preview · due in 10 hours</translation>
    </message>
    <message>
        <source>메뉴바 색상 예시</source>
        <translation>Top bar preview</translation>
    </message>
    <message>
        <source>자동 저장 · %1 시간</source>
        <translation>Saved automatically · %1 time</translation>
    </message>
</context>
<context>
    <name>vantory::TimeColorTab</name>
    <message>
        <source>점과 남은 시간에 같은 색상 사용</source>
        <translation>Same color for the dot and the time left</translation>
    </message>
    <message>
        <source>점 색상을 둘 다 적용합니다. 끄면 이전 남은 시간 색상으로 돌아갑니다.</source>
        <translation>Both take the dot&apos;s color. Turning it off brings back the earlier time-left colors.</translation>
    </message>
    <message>
        <source>시간 조건</source>
        <translation>Time rules</translation>
    </message>
    <message>
        <source>점</source>
        <translation>Dot</translation>
    </message>
    <message>
        <source>남은 시간</source>
        <translation>Time left</translation>
    </message>
    <message>
        <source>여러 조건에 해당하면 가장 짧은 시간 기준을 적용합니다. 괄호와 구분선은 기본 글자색을 유지합니다.</source>
        <translation>Where several rules match, the one with the shortest time applies. Brackets and separators keep the default text color.</translation>
    </message>
    <message>
        <source>시간 이하</source>
        <translation>hours or less</translation>
    </message>
    <message>
        <source>이 조건 삭제</source>
        <translation>Remove this rule</translation>
    </message>
    <message>
        <source>%1시간 이하 조건</source>
        <translation>Rule: %1 hours or less</translation>
    </message>
    <message>
        <source>%1시간 이하 점 색상</source>
        <translation>Dot color: %1 hours or less</translation>
    </message>
    <message>
        <source>%1시간 이하 남은 시간 색상</source>
        <translation>Time-left color: %1 hours or less</translation>
    </message>
    <message>
        <source>%1시간 이하 조건 삭제</source>
        <translation>Remove rule: %1 hours or less</translation>
    </message>
    <message>
        <source>그 외</source>
        <translation>Otherwise</translation>
    </message>
    <message>
        <source>남은 시간 기본 색상</source>
        <translation>Default time-left color</translation>
    </message>
    <message>
        <source>공통 기본 색상</source>
        <translation>Common default color</translation>
    </message>
    <message>
        <source>점 기본 색상</source>
        <translation>Default dot color</translation>
    </message>
    <message>
        <source>조건 추가</source>
        <translation>Add rule</translation>
    </message>
    <message>
        <source>초기화</source>
        <translation>Reset</translation>
    </message>
</context>
<context>
    <name>vantory::ZonePicker</name>
    <message>
        <source>학교 시간대</source>
        <translation>School time zone</translation>
    </message>
    <message>
        <source>학교 시간대 검색</source>
        <translation>Search school time zone</translation>
    </message>
    <message>
        <source>도시 또는 시간대 검색</source>
        <translation>Search by city or time zone</translation>
    </message>
    <message>
        <source>학교 시간대 목록</source>
        <translation>School time zones</translation>
    </message>
</context>
</TS>
