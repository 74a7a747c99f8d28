# Form 201C: the statement of stock, list rows 3 to 4998.
template VAT_RET_201C_Monthly.xls
sheet Stock
cell A1 Form 201C: statement of stock
cell A2 Sr No
cell B2 Product and batch
cell C2 Unit
cell D2 Opening Qty
cell E2 Received
cell F2 Issued
cell G2 Closing Qty
cell H2 Closing Value
cell L2 Check: Opening + Received - Issued - Closing
list 3 4996
each A =ROW()-{first-1}
each L =D{r}+E{r}-F{r}-G{r}
cell B{last+2} Total
cell H{last+2} =SUM(H{first}:H{last+1})
